#pragma once

#include <QWidget>
#include <array>
#include <filesystem>
#include <string>

#include "card/subscriber_card.h"
#include "search/search.h"
#include "search/search_results.h"

class QButtonGroup;
class QCloseEvent;
class QListView;
class QPushButton;
class QShowEvent;

namespace ui {

class ResultsModel;

// The search window: searches the subscriber file into the result columns,
// which it keeps while hidden, clears them, and loads a found card into the
// card window's card. Created once and never destroyed while the program
// runs. It shows no other window: it tells, by its signals, that the clerk
// wants the card window back, or the guide.
class Form3 : public QWidget {
  Q_OBJECT

 public:
  // The result columns that the window shows, List1 (0) to (5); the others
  // are kept in the results alone.
  static constexpr int kVisibleColumns = 6;

  // Searches `file`; `card` outlives this window.
  Form3(std::filesystem::path file, card::SubscriberCard& card,
        QWidget* parent = nullptr);

 signals:
  // "Назад", or the close box, which the window treats alike.
  void BackClicked();
  // "Просмотр" has loaded the selected row into the card.
  void CardViewed();
  // F1: the clerk asks for the guide.
  void GuideRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Controls {
    // By column.
    std::array<QListView*, kVisibleColumns> list1{};
    QPushButton* search = nullptr;    // Command1, "Искать"
    QPushButton* clear = nullptr;     // Command2, "Очистка списка"
    QPushButton* back = nullptr;      // Command3, "Назад"
    QPushButton* view = nullptr;      // Command4, "Просмотр"
    QButtonGroup* options = nullptr;  // Option1 to Option3, by SearchMode
  };

  void BuildControls();
  void SetTabOrder();

  search::SearchMode ChosenMode() const;
  // The mode's prompt; the empty text when cancelled.
  std::string AskQuery(search::SearchMode mode);

  void Search();
  void ClearList();
  void View();

  const std::filesystem::path file_;
  card::SubscriberCard& card_;
  ResultsModel* model_ = nullptr;
  Controls controls_;
};

}  // namespace ui
