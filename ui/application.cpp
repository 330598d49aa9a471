#include "ui/application.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QString>
#include <QTranslator>
#include <QtGlobal>

#include "ui/accessible.h"
#include "ui/messages.h"

namespace ui {
namespace {

// The platform's dialog font at 8 points, the size that the twips layout
// assumes at 96 dpi: on Windows the system's dialog face; elsewhere a
// sans-serif with Cyrillic letters, of about the same widths, that the
// project's scripts install.
QFont DialogFont() {
#ifdef Q_OS_WIN
  // The dialog face is a name that Windows maps to a real font (Tahoma, as a
  // rule) in its font substitutes; Qt would not follow it.
  const QSettings substitutes(
      QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\"
                     "CurrentVersion\\FontSubstitutes"),
      QSettings::NativeFormat);
  QFont font(
      substitutes
          .value(QStringLiteral("MS Shell Dlg 2"), QStringLiteral("Tahoma"))
          .toString(),
      8);
#else
  QFont font(QStringLiteral("Liberation Sans"), 8);
#endif
  font.setStyleHint(QFont::SansSerif);
  return font;
}

// Qt's Russian catalogue leaves the OK button in Latin letters; a Russian
// desktop writes it in Cyrillic.
class CyrillicOk : public QTranslator {
 public:
  bool isEmpty() const override { return false; }

  QString translate(const char* context, const char* source_text,
                    const char* /*disambiguation*/, int /*n*/) const override {
    // The generic platform's caption, and the one a GNOME desktop gives,
    // which marks its mnemonic.
    if (qstrcmp(context, "QPlatformTheme") == 0 &&
        qstrcmp(source_text, "OK") == 0) {
      return Text(Message::kOk);
    }
    if (qstrcmp(context, "QGnomeTheme") == 0 &&
        qstrcmp(source_text, "&OK") == 0) {
      return u'&' + Text(Message::kOk);
    }
    return QString();
  }
};

// Loads Qt's catalogue for the system's language, if there is one.
void LoadToolkitTexts() {
  // Asked for texts as long as the program runs.
  static QTranslator catalogue;
  static CyrillicOk cyrillic_ok;
  const QString folders[] = {
      // The Windows program's folder carries its own copy.
      QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
      QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
  // The base module's catalogue, or all of Qt's in one file as Qt's
  // deployment tool writes it.
  const QString names[] = {QStringLiteral("qtbase"), QStringLiteral("qt")};
  for (const QString& folder : folders) {
    for (const QString& name : names) {
      if (!catalogue.load(QLocale::system(), name, QStringLiteral("_"),
                          folder)) {
        continue;
      }
      QCoreApplication::installTranslator(&catalogue);
      // Installed last, so asked first.
      if (QLocale(catalogue.language()).language() == QLocale::Russian) {
        QCoreApplication::installTranslator(&cyrillic_ok);
      }
      return;
    }
  }
}

}  // namespace

void SetUpApplication() {
  // A window without a title of its own, such as a prompt, shows this name.
  QCoreApplication::setApplicationName(Text(Message::kProgramName));
  // Also replaces the fonts that a platform gives some kinds of widget, such
  // as its message font for message boxes: one font everywhere.
  QApplication::setFont(DialogFont());
  LoadToolkitTexts();
  InstallAccessibleInterfaces();
}

}  // namespace ui
