#include "engine/FragmentPlan.h"

#include <cmath>

FragmentPlan PlanFragments(const std::vector<InputFragment>& fragments,
                           const std::vector<double>& lengths, const std::vector<uint8_t>& used) {
    FragmentPlan plan;
    for (size_t i = 0; i < fragments.size(); ++i) {
        if (i >= used.size() || !used[i]) continue;
        const InputFragment& fragment = fragments[i];
        if (!std::isfinite(fragment.start) || !std::isfinite(fragment.end) || fragment.start < 0 ||
            fragment.end <= fragment.start) {
            plan.placed.clear();
            plan.length = 0.0;
            plan.error = "The fragment of " + fragment.path + " from " +
                         std::to_string(fragment.start) + " s to " + std::to_string(fragment.end) +
                         " s is not a usable range.";
            return plan;
        }
        double end = fragment.end;
        const double length = i < lengths.size() ? lengths[i] : 0.0;
        if (std::isfinite(length) && length > 0.0 && end > length) end = length;
        if (end <= fragment.start) continue;
        plan.placed.push_back({i, plan.length, fragment.start, end - fragment.start});
        plan.length += end - fragment.start;
    }
    return plan;
}
