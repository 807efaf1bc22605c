#include "QtHelp.h"

#include <QRegularExpression>

#include "HelpSitemap.h"

namespace zv::dialogs {

QtHelp::~QtHelp() { Close(); }

HelpWindow* QtHelp::EnsureWindow() {
    if (!window_) {
        window_ = new HelpWindow;
        window_->setAttribute(Qt::WA_DeleteOnClose);
        // A missing file still opens the window, which says so; there is no message box.
        window_->OpenFile(chmPath_);
    }
    return window_;
}

void QtHelp::ShowContents() {
    HelpWindow* window = EnsureWindow();
    window->ShowContents();
    window->show();
    window->raise();
    window->activateWindow();
}

bool QtHelp::ShowTopic(int contextId) {
    HelpWindow* window = EnsureWindow();
    const bool found = window->ShowTopic(contextId);
    if (!found) window->ShowContents();
    window->show();
    window->raise();
    window->activateWindow();
    return found;
}

std::u16string QtHelp::TopicText(int contextId) {
    if (!topics_) topics_ = ChmFile::Open(chmPath_);
    if (!topics_ || contextId < 0) return {};
    const auto page = topics_->TopicForContextId(quint32(contextId));
    if (!page) return {};
    const auto bytes = topics_->Read(*page);
    if (!bytes) return {};
    const QString html = DecodeHelpText(*bytes);
    // The popup shows the body alone: no title bar heading, no style sheet links.
    static const QRegularExpression body(
        QStringLiteral("<body[^>]*>(.*)</body>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression heading(
        QStringLiteral("<h1[^>]*>(.*?)</h1>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = body.match(html);
    QString text = m.hasMatch() ? m.captured(1) : html;
    text.replace(heading, QStringLiteral("<p><b>\\1</b></p>"));
    return text.trimmed().toStdU16String();
}

void QtHelp::Close() {
    if (window_) {
        HelpWindow* window = window_.data();
        window_.clear();
        window->close();
        delete window;  // now, not at the next turn of an event loop that may never come
    }
}

}  // namespace zv::dialogs
