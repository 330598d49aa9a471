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

// The search window searches the subscriber file into the result columns,
// keeps them while hidden, clears them and loads a found card into the card.
// It lives as long as the program and shows no other window: its signals tell
// that the clerk wants the card window back, or the guide.
class Form3 : public QWidget {
  Q_OBJECT

 public:
  // The window shows the first six result columns, List1 (0) to (5); the
  // results alone keep the others.
  static constexpr int kVisibleColumns = 6;

  // Searches `file`; `card` outlives this window.
  Form3(std::filesystem::path file, card::SubscriberCard& card,
        QWidget* parent = nullptr);

 signals:
  // The clerk pressed "Назад" or the close box, which the window treats
  // alike.
  void BackClicked();
  // "Просмотр" has loaded the selected row into the card.
  void CardViewed();
  // The clerk pressed F1 for the guide.
  void GuideRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Controls {
    // The lists stand in the order of their columns.
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
  // Asks for the mode's query; returns the empty text when cancelled.
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
