#pragma once

#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "card/subscriber_card.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace ui {

class Form3;
class Guide;

// The card window shows the subscriber card, passes the clerk's typing and
// choices to it, saves it and opens the search window. It owns the card and
// the guide for the life of the program; closing it ends the program.
class Form1 : public QWidget {
  Q_OBJECT

 public:
  // Builds the window and starts the card, as the window loads. "Записать"
  // saves into `file`, which the search window searches.
  explicit Form1(std::filesystem::path file, QWidget* parent = nullptr);
  ~Form1() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Controls {
    std::array<QLineEdit*, card::kFieldCount> text1{};
    QPushButton* save = nullptr;      // Command2, "Записать"
    QPushButton* search = nullptr;    // Command3, "Поиск"
    QButtonGroup* options = nullptr;  // Option1 to Option4, by BenefitOption
  };

  void BuildControls();
  void SetTabOrder();
  void Wire();

  // Passes the clerk's change of box `index` to the card.
  void EditCell(int index, const QString& text);
  // Shows the card's new text of cell `index` without telling the card.
  void ShowCell(int index);
  // Marks the cell at which the recalculation stops, and only that one.
  void MarkCell(std::optional<int> failed);
  void ChooseBenefit(int option);
  void Save();
  void OpenSearch();
  // Shows this window, then hides the search window.
  void ReturnFromSearch();
  // Opens the guide over `from`, which has the keyboard back once it closes.
  void OpenGuide(QWidget* from);

  const std::filesystem::path file_;
  card::SubscriberCard card_;
  Controls controls_;
  QLineEdit* marked_cell_ = nullptr;
  std::unique_ptr<Form3> form3_;  // made at the first "Поиск"
  std::unique_ptr<Guide> guide_;  // made at the first F1
};

}  // namespace ui
