#include "links/link_status.h"

namespace vr410 {

namespace {

constexpr bool RowsFollowTheKinds() {
    for (size_t i = 0; i < LinkStatusTexts.size(); ++i) {
        if (LinkStatusTexts[i].What != i) {
            return false;
        }
    }
    return true;
}
static_assert(RowsFollowTheKinds(), "LinkStatusTexts is looked up by the kind as its index");

} // namespace

std::string LinkStatusText(LinkStatus status) {
    if (status.What >= LinkStatusTexts.size()) {
        return {};
    }
    std::string text(LinkStatusTexts[status.What].Text);
    if (status.What == LinkStatus::OsError) {
        text += std::to_string(status.Code);
    }
    return text;
}

} // namespace vr410
