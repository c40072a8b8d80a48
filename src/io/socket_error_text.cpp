#include "io/socket_error_text.h"

namespace vesk {

std::string SocketErrorText(QAbstractSocket::SocketError error) {
  using E = QAbstractSocket::SocketError;
  switch (error) {
    case E::ConnectionRefusedError:
      return "концентратор не принимает подключения (в соединении отказано)";
    case E::RemoteHostClosedError:
      return "другая сторона закрыла соединение";
    case E::HostNotFoundError:
      return "адрес не найден";
    case E::SocketAccessError:
      return "нет прав на это действие с сетью";
    case E::SocketResourceError:
      return "не хватает системных ресурсов для соединения";
    case E::SocketTimeoutError:
      return "истекло время ожидания";
    case E::DatagramTooLargeError:
      return "слишком большой пакет";
    case E::NetworkError:
      return "ошибка сети (соединение прервано или сеть недоступна)";
    case E::AddressInUseError:
      return "этот порт уже занят другой программой";
    case E::SocketAddressNotAvailableError:
      return "этого адреса нет у этого компьютера";
    case E::UnsupportedSocketOperationError:
      return "система не поддерживает это действие (например, IPv6)";
    case E::UnfinishedSocketOperationError:
      return "предыдущее действие с соединением ещё не завершено";
    case E::ProxyAuthenticationRequiredError:
    case E::ProxyConnectionRefusedError:
    case E::ProxyConnectionClosedError:
    case E::ProxyConnectionTimeoutError:
    case E::ProxyNotFoundError:
    case E::ProxyProtocolError:
      return "ошибка прокси-сервера";
    case E::SslHandshakeFailedError:
    case E::SslInternalError:
    case E::SslInvalidUserDataError:
      return "ошибка защищённого соединения";
    case E::TemporaryError:
      return "временная ошибка сети, попробуйте ещё раз";
    case E::OperationError:
      return "действие невозможно в этом состоянии соединения";
    case E::UnknownSocketError:
      break;
  }
  return "неизвестная ошибка сети";
}

}  // namespace vesk
