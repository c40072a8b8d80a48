// Recorded cases of vesk-run: a random micro-program, dump, start address,
// timing mode, I/O presets, interrupt and limits, run through RunHeadless
// once with every output file and once with the JSON alone.
#pragma once

#include <string>

namespace vesk::golden {

// The record of runner case `index`; scratch files go to `folder`.
std::string RecordRunnerCase(int index, const std::string& folder);

}  // namespace vesk::golden
