#pragma once
// corvanta-cli events --history: a site's event history from the site book,
// with no module in reach.

#include <string>

#include "app/cli/args.h"

namespace corvanta::cli {

const std::string& eventHistoryUsage();
int runEventHistory(const Args& args);

}  // namespace corvanta::cli
