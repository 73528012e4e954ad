#include "generation.h"

#include "core/failure.h"
#include "core/picturemeasurer.h"

namespace orv {

Generation generate(const PageSpec &page, const PageState &state, const Services &services)
{
    Generation run;
    run.state = state;
    try {
        const Generated generated = page.generate(run.state, services);
        if (!generated.reminder.isEmpty()) {
            run.outcome = Generation::Outcome::Reminder;
            run.text = generated.reminder;
        } else {
            run.text = generated.fragment;
            run.preview = generated.preview;
        }
    } catch (const Cancelled &) {
        run.outcome = Generation::Outcome::Cancelled;
        run.state = state;
    } catch (const Failure &failure) {
        run.outcome = Generation::Outcome::Failure;
        run.text = failure.message();
    }
    return run;
}

} // namespace orv
