// Qt's messages in the journal with their level: installed only when
// standard error goes to the journal, it writes what Qt's own handler
// would, each line with the syslog priority of the message's kind in
// front. Elsewhere Qt's handler stays and prints as before.
#ifndef TOVIK_JOURNALMESSAGEHANDLER_H
#define TOVIK_JOURNALMESSAGEHANDLER_H

#include <QString>
#include <QtGlobal>

#include <string>

#include "journalstream.h"

class JournalMessageHandler {
public:
    // Installs the handler when standard error goes to the journal; true
    // then.
    static bool InstallIfJournal();

    // The priority of a kind of Qt message.
    static journal::Priority PriorityOf(QtMsgType type);
    // What the handler writes for a message: Qt's formatted text and a
    // newline, each line with its priority; empty when Qt's message pattern
    // leaves nothing to print.
    static std::string Format(QtMsgType type, const QMessageLogContext& context, const QString& message);

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message);
};

#endif
