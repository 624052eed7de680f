#include "views/commands/sessionsearch.h"

#include "views/base/jobstatus.h"
#include "views/base/prompts.h"
#include "views/commands/windowparts.h"

#include <QObject>

#include <utility>

void runSessionSearch(const WindowParts& parts, const QString& status, tessaron::Job job,
                      std::function<void()> adopted, std::function<QString(tessaron::JobError)> failure)
{
    parts.jobs.show(status);
    parts.jobs.run(std::move(job), [&parts, adopted = std::move(adopted),
                                    failure = std::move(failure)](tessaron::JobResult result) {
        parts.jobs.clear();
        if (!result.state) {
            if (result.error && *result.error != tessaron::JobError::Cancelled) {
                QString text = failure ? failure(*result.error) : QString();
                if (text.isEmpty()) {
                    text = QObject::tr("Looks like we're out of memory...");
                }
                parts.prompts.message(&parts.window, applicationName(), text, Prompts::Icon::None);
            }
            return;
        }
        if (result.state->genome != parts.session.sharedGenome()) {
            return;  // another genome came meanwhile
        }
        parts.session.adopt(std::move(*result.state));
        adopted();
    });
}
