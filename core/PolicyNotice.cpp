// The once-per-run notice about restrictions a lock could not apply.
#include "core/PolicyNotice.h"

std::string PolicyNotice::BalloonAfterUnlock(PolicyFailures failures) {
    text_ = PolicyFailureText(failures);
    // Said once: repeated at every unlock it would only teach the user to ignore it.
    if (shown_ || text_.empty()) return {};
    shown_ = true;
    return text_;
}
