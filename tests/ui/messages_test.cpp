#include "ui/messages.h"

#include <QRegularExpression>
#include <QTest>

class MessagesTest : public QObject {
  Q_OBJECT

 private slots:
  // No English reaches the clerk: a message holds no Latin letter but in
  // what the caller fills in.
  void noLatinWord() {
    const QRegularExpression placeholder(QStringLiteral("%\\d"));
    const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    for (const ui::MessageText& message : ui::kMessages) {
      const QString text = ui::Text(message.message).remove(placeholder);
      QVERIFY2(!text.isEmpty() && !text.contains(latin), qPrintable(text));
    }
  }
};

QTEST_APPLESS_MAIN(MessagesTest)
#include "messages_test.moc"
