#include <QApplication>

#include "records/subscriber_file.h"
#include "ui/application.h"
#include "ui/form1.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  ui::SetUpApplication();
  ui::Form1 form1(records::kSubscriberFileName);
  form1.show();
  return QApplication::exec();
}
