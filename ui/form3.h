#pragma once

#include <QWidget>
#include <array>
#include <string>

#include "card/subscriber_card.h"
#include "records/search.h"
#include "records/search_results.h"

class QButtonGroup;
class QCloseEvent;
class QListView;
class QPushButton;
class QShowEvent;

namespace ui {

class ResultColumnModel;

// The search window: searches the subscriber file into the result columns,
// which it keeps while hidden, clears them, and loads a found card into the
// card window's card. Created once and never destroyed while the program
// runs; its close box takes the clerk back like "Назад".
class Form3 : public QWidget {
  Q_OBJECT

 public:
  // `card` and `card_window` outlive this window.
  Form3(card::SubscriberCard& card, QWidget& card_window,
        QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct Controls {
    // By column; (6) to (13) are never visible.
    std::array<QListView*, records::SearchResults::kColumnCount> list1{};
    QPushButton* command1 = nullptr;  // "Искать"
    QPushButton* command2 = nullptr;  // "Очистка списка"
    QPushButton* command3 = nullptr;  // "Назад"
    QPushButton* command4 = nullptr;  // "Просмотр"
    QButtonGroup* options = nullptr;  // Option1 to Option3, by SearchMode
  };

  void BuildControls();
  void SetTabOrder();

  records::SearchMode ChosenMode() const;
  // The mode's prompt; the empty text when cancelled.
  std::string AskQuery(records::SearchMode mode);
  void UpdateColumns();

  void Search();
  void ClearList();
  void Back();
  void View();

  card::SubscriberCard& card_;
  QWidget& card_window_;
  records::SearchResults results_;
  std::array<ResultColumnModel*, records::SearchResults::kColumnCount>
      columns_{};
  Controls controls_;
};

}  // namespace ui
