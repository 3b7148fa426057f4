#include "problem/windows/input_check_window.h"

#include <QFont>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "common/text_file.h"
#include "schedule/sch.h"
#include "viewer/windows/window_frame.h"

namespace vema {

namespace {

// The editor shows the file with plain line feeds; a file that cannot be
// read shows empty.
QString read_file(const std::string& path) {
  std::string text;
  read_text_file(path, text);
  QString result = QString::fromStdString(text);
  result.replace("\r\n", "\n");
  return result;
}

void fill(QListWidget* list, const std::vector<std::string>& entries) {
  list->clear();
  for (const std::string& entry : entries) list->addItem(QString::fromStdString(entry));
}

// The line a message names: the number after the last '_' of its text.
int line_of(const QListWidgetItem* item) { return label_number(item->text().toStdString()); }

}  // namespace

InputCheckWindow::InputCheckWindow(QWidget* main_window)
    : QDialog(main_window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle("Input Data Checking");
  setModal(true);

  auto* layout = new QVBoxLayout(this);
  file_label_ = new QLabel("Input file: ", this);
  file_label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(file_label_);

  auto* body = new QHBoxLayout;
  auto* lists = new QVBoxLayout;
  auto* error_title = new QLabel("Error list:", this);
  error_list_ = new QListWidget(this);
  auto* warning_title = new QLabel("Warning list:", this);
  warning_list_ = new QListWidget(this);
  error_title->setBuddy(error_list_);
  warning_title->setBuddy(warning_list_);
  lists->addWidget(error_title);
  lists->addWidget(error_list_, 3);
  lists->addWidget(warning_title);
  lists->addWidget(warning_list_, 2);
  body->addLayout(lists, 4);

  editor_ = new QPlainTextEdit(this);
  editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
  editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont editor_font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const qreal window_size = font().pointSizeF() > 0 ? font().pointSizeF() : 9.0;
  editor_font.setPointSizeF(window_size + 2.0);
  editor_->setFont(editor_font);
  body->addWidget(editor_, 5);
  layout->addLayout(body, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  save_button_ = new QPushButton("Save and Check", this);
  close_button_ = new QPushButton("Close", this);
  save_button_->setAutoDefault(false);
  close_button_->setAutoDefault(false);
  buttons->addWidget(save_button_);
  buttons->addWidget(close_button_);
  layout->addLayout(buttons);

  setTabOrder(error_list_, warning_list_);
  setTabOrder(warning_list_, editor_);
  setTabOrder(editor_, save_button_);
  setTabOrder(save_button_, close_button_);

  setFixedSize(1040, 620);

  connect(close_button_, &QPushButton::clicked, this, &QDialog::reject);
  connect(save_button_, &QPushButton::clicked, this, &InputCheckWindow::save_and_check);
  for (QListWidget* list : {error_list_, warning_list_}) {
    connect(list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { go_to_line(line_of(item)); });
    connect(list, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { go_to_line(line_of(item)); });
  }
}

void InputCheckWindow::review(InputCheckSession& session) {
  session_ = &session;
  file_label_->setText("Input file: " + QString::fromStdString(session.path()));
  show_lists();
  editor_->setPlainText(read_file(session.path()));
  centre_window(*this, nullptr);
  exec();
  error_list_->clear();
  warning_list_->clear();
  editor_->clear();
  session.close();
  session_ = nullptr;
}

QLabel* InputCheckWindow::file_label() const { return file_label_; }

QListWidget* InputCheckWindow::error_list() const { return error_list_; }

QListWidget* InputCheckWindow::warning_list() const { return warning_list_; }

QPlainTextEdit* InputCheckWindow::editor() const { return editor_; }

QPushButton* InputCheckWindow::save_and_check_button() const { return save_button_; }

QPushButton* InputCheckWindow::close_button() const { return close_button_; }

void InputCheckWindow::show_lists() {
  if (session_ == nullptr) return;
  fill(error_list_, session_->lists().errors);
  fill(warning_list_, session_->lists().warnings);
}

void InputCheckWindow::save_and_check() {
  if (session_ == nullptr) return;
  const QString text = editor_->toPlainText();
  // Once written, the file holds exactly the editor's text, so the editor
  // stays as it is; when it could not be written the planner's edits stay too.
  session_->save_and_check(text.toStdString());
  show_lists();
}

void InputCheckWindow::go_to_line(int line) {
  QTextDocument* document = editor_->document();
  QTextCursor cursor(document);
  // Every line of the text counts, empty ones included, as the checker
  // numbers them; with wrapping off a block is exactly one line.
  const QTextBlock block = line >= 1 ? document->findBlockByNumber(line - 1) : QTextBlock();
  if (block.isValid()) {
    const int end = std::min(block.position() + block.length(), document->characterCount() - 1);
    cursor.setPosition(block.position());
    cursor.setPosition(end, QTextCursor::KeepAnchor);
  } else {
    cursor.movePosition(QTextCursor::End);
  }
  editor_->setFocus(Qt::OtherFocusReason);
  editor_->setTextCursor(cursor);
  editor_->ensureCursorVisible();
}

}  // namespace vema
