#pragma once

// Asking the preview's page by script, as a test reads what it shows.

#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <optional>

namespace orv::test {

// The answer of a script run in the view's page; nothing when none came in time.
inline std::optional<QVariant> scriptAnswer(QWebEngineView *view, const QString &script, int timeoutMs = 20000)
{
    std::optional<QVariant> answer;
    view->page()->runJavaScript(script, [&](const QVariant &v) { answer = v; });
    if (!QTest::qWaitFor([&] { return answer.has_value(); }, timeoutMs))
        return std::nullopt;
    return answer;
}

// The answer as text, "<no answer>" when none came.
inline QString scriptText(QWebEngineView *view, const QString &script)
{
    const std::optional<QVariant> answer = scriptAnswer(view, script);
    return answer ? answer->toString() : QStringLiteral("<no answer>");
}

} // namespace orv::test
