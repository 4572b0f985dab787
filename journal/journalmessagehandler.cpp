#include "journalmessagehandler.h"

#include <unistd.h>

#include <cstdio>

bool JournalMessageHandler::InstallIfJournal()
{
    if (!journal::GoesToJournal(STDERR_FILENO))
        return false;
    qInstallMessageHandler(&JournalMessageHandler::Handle);
    return true;
}

journal::Priority JournalMessageHandler::PriorityOf(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return journal::kDebug;
    case QtInfoMsg:
        return journal::kInfo;
    case QtWarningMsg:
        return journal::kWarning;
    case QtCriticalMsg:
    case QtFatalMsg:
        break;
    }
    return journal::kError;
}

std::string JournalMessageHandler::Format(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    // As Qt's handler: nothing when the pattern gives nothing, else the
    // text in the local encoding and a newline.
    const QString formatted = qFormatLogMessage(type, context, message);
    if (formatted.isNull())
        return std::string();
    const QByteArray text = formatted.toLocal8Bit() + '\n';
    return journal::WithPriority(std::string(text.constData(), size_t(text.size())), PriorityOf(type));
}

void JournalMessageHandler::Handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const std::string text = Format(type, context, message);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}
