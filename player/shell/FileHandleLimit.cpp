#include "player/shell/FileHandleLimit.h"

namespace filehandles {

std::optional<std::string> Ensure(rlim_t needed) {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= needed) return std::nullopt;
    if (limit.rlim_max >= needed) {
        const rlim_t before = limit.rlim_cur;
        limit.rlim_cur = needed;
        if (setrlimit(RLIMIT_NOFILE, &limit) == 0) return std::nullopt;
        limit.rlim_cur = before;
    }
    return "only " + std::to_string(limit.rlim_cur) + " file handles may be open (ulimit -n), and " +
           std::to_string(limit.rlim_max) + " at the most; the player needs " +
           std::to_string(needed);
}

}  // namespace filehandles
