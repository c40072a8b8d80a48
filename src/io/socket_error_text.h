// Why a connection of the network adapter failed, in Russian: the socket
// layer's errors as a user of the hub or a station meets them. Qt's own
// texts would be English whatever the user's language.
#pragma once

#include <QAbstractSocket>
#include <string>

namespace vesk {

std::string SocketErrorText(QAbstractSocket::SocketError error);

}  // namespace vesk
