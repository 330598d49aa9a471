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

// Returns the dialog font at 8 points, the size that the twips layout
// assumes at 96 dpi: on Windows the system's dialog face, elsewhere a
// sans-serif of about the same widths that the project's scripts install.
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

// Writes the OK button in Cyrillic, as a Russian desktop does, where Qt's
// Russian catalogue leaves it in Latin letters.
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
  // Qt asks them for texts as long as the program runs.
  static QTranslator catalogue;
  static CyrillicOk cyrillic_ok;
  const QString folders[] = {
      // The Windows program's folder carries its own copy of the catalogue.
      QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
      QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
  // A system keeps the base module's catalogue as qtbase; Qt's deployment
  // tool writes all of Qt's as one file, qt.
  const QString names[] = {QStringLiteral("qtbase"), QStringLiteral("qt")};
  for (const QString& folder : folders) {
    for (const QString& name : names) {
      if (!catalogue.load(QLocale::system(), name, QStringLiteral("_"),
                          folder)) {
        continue;
      }
      QCoreApplication::installTranslator(&catalogue);
      // Qt asks the translator installed last before the others.
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
  // The font also replaces those that a platform gives some kinds of widget,
  // such as message boxes, so that one font is used everywhere.
  QApplication::setFont(DialogFont());
  LoadToolkitTexts();
  InstallAccessibleInterfaces();
}

}  // namespace ui
