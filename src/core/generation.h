#pragma once

#include "core/page.h"

namespace orv {

// What running a page's generator came to, for any front end to present.
struct Generation {
    enum class Outcome {
        Fragment, // text is the fragment for the output buffer
        Reminder, // text is a reminder to show; the buffer stays
        Failure,  // text is the failure's message; the buffer stays
        Cancelled // the user stopped it: nothing changes, nothing to report
    };

    Outcome outcome = Outcome::Fragment;
    QString text;
    // Whether the fragment is previewed once it is in the buffer.
    bool preview = true;
    // The page as the generator left it (cleaned fields, written metrics);
    // it replaces the page's state unless the run was cancelled.
    PageState state;
};

// Runs the page's generator on a copy of state; never throws.
Generation generate(const PageSpec &page, const PageState &state, const Services &services);

} // namespace orv
