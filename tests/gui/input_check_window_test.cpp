// The "Input Data Checking" window, on its own and inside the check gate.
#include "problem/windows/input_check_window.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/gui_test_support.h"
#include "problem/input_check_session.h"
#include "scripted_ui.h"

using vema::InputCheckSession;
using vema::InputCheckWindow;
using vema::testing::ScriptedUi;

namespace {

// The check gate's review: opens the window, runs the script while it is
// open and then closes it, even when the script failed half-way.
std::function<void(InputCheckSession&)> open_window(InputCheckWindow& window,
                                                    std::function<void(InputCheckWindow&)> script) {
  return [&window, script = std::move(script)](InputCheckSession& session) {
    QTimer::singleShot(0, [&window, script] {
      script(window);
      if (window.isVisible()) QTest::mouseClick(window.close_button(), Qt::LeftButton);
    });
    window.review(session);
  };
}

int reviews_of(const ScriptedUi& ui) { return static_cast<int>(ui.reviews.size()); }

QString read_all(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

void click(QListWidget* list, int row) {
  QListWidgetItem* item = list->item(row);
  list->scrollToItem(item);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// What the editor has selected, with line breaks as '\n'.
QString selection(const QPlainTextEdit* editor) {
  return editor->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n');
}

// Line n (1-based) of text with its line break.
QString line_of(const QString& text, int n) { return text.split('\n').at(n - 1) + '\n'; }

}  // namespace

class InputCheckWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void gateWithTheWindow_data();
  void gateWithTheWindow();
  void listEntrySelectsItsLine();
  void emptyLinesCountWhenFindingTheLine();
  void missingLinePutsTheCursorAtTheEnd();

 private:
  QString copy_example(const QString& name);
  QString write(const QString& name, const QByteArray& text);

  std::optional<QTemporaryDir> dir_;
  QWidget main_window_;
};

void InputCheckWindowTest::init() { dir_.emplace(); }

QString InputCheckWindowTest::copy_example(const QString& name) {
  const QString path = dir_->filePath(name);
  QFile::copy(vema::testing::source_path("examples/" + name), path);
  return path;
}

QString InputCheckWindowTest::write(const QString& name, const QByteArray& text) {
  const QString path = dir_->filePath(name);
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(text);
  return path;
}

void InputCheckWindowTest::gateWithTheWindow_data() {
  QTest::addColumn<QString>("example");
  QTest::addColumn<bool>("correct_in_editor");
  QTest::addColumn<int>("reviews");
  QTest::addColumn<bool>("passes");
  QTest::newRow("clean file, no window") << "small_shop.sif" << false << 0 << true;
  QTest::newRow("warnings only, closed") << "warnings_only.sif" << false << 1 << true;
  QTest::newRow("errors, closed") << "with_errors.sif" << false << 1 << false;
  QTest::newRow("errors corrected, saved and checked") << "with_errors.sif" << true << 1 << true;
  QTest::newRow("missing file, no window") << "no_such_file.sif" << false << 0 << false;
}

void InputCheckWindowTest::gateWithTheWindow() {
  QFETCH(QString, example);
  QFETCH(bool, correct_in_editor);
  QFETCH(int, reviews);
  QFETCH(bool, passes);
  const QString path = copy_example(example);
  const QString original = read_all(path);

  InputCheckWindow window(&main_window_);
  ScriptedUi ui;
  QString edited;
  ui.on_review = open_window(window, [&](InputCheckWindow& w) {
    QCOMPARE(w.file_label()->text(), "Input file: " + path);
    QCOMPARE(w.editor()->toPlainText(), original);
    if (example == "with_errors.sif") QCOMPARE(w.error_list()->count(), 5);
    if (example == "warnings_only.sif") {
      QCOMPARE(w.error_list()->count(), 0);
      QCOMPARE(w.warning_list()->count(), 1);
    }
    if (!correct_in_editor) return;

    QString text = w.editor()->toPlainText();
    text.replace("100|1|0|0|0\n", "100|1|5|0|0\n")
        .replace("120|3|50|2000|\n", "120|3|50|2000\n")
        .replace("200|2|500|50|0|20|", "200|2|500|50|2|20|")
        .append("220|2|0|0|1\n");
    w.editor()->setPlainText(text);
    edited = text;
    QTest::mouseClick(w.save_and_check_button(), Qt::LeftButton);
    QCOMPARE(w.error_list()->count(), 0);
    QCOMPARE(w.warning_list()->count(), 0);
    QCOMPARE(read_all(path), edited);
    QCOMPARE(w.editor()->toPlainText(), edited);
  });

  QCOMPARE(vema::check_gate(path.toStdString(), ui), passes);
  QCOMPARE(reviews_of(ui), reviews);
  if (passes) {
    QVERIFY(ui.messages.empty());
  } else {
    QCOMPARE(ui.messages,
             std::vector<std::string>{"  Input data are incorrect!\nOpening process stopped!"});
  }
  if (correct_in_editor) QCOMPARE(read_all(path), edited);
  // Nothing is left in the window once it has closed.
  QVERIFY(!window.isVisible());
  QCOMPARE(window.error_list()->count(), 0);
  QCOMPARE(window.warning_list()->count(), 0);
  QVERIFY(window.editor()->toPlainText().isEmpty());
}

void InputCheckWindowTest::listEntrySelectsItsLine() {
  const QString path = copy_example("with_errors.sif");
  const QString text = read_all(path);
  InputCheckWindow window(&main_window_);
  ScriptedUi ui;
  int clicked = 0;
  ui.on_review = open_window(window, [&](InputCheckWindow& w) {
    // The lines the five errors of the example name: zero speed, empty
    // field, extra field, zero jobs, missing step.
    const int lines[] = {9, 26, 26, 48, 50};
    QListWidget* errors = w.error_list();
    QCOMPARE(errors->count(), 5);
    // From the last entry up, so every click moves the selection.
    for (int row = errors->count() - 1; row >= 0; --row) {
      click(errors, row);
      QCOMPARE(selection(w.editor()), line_of(text, lines[row]));
      QCOMPARE(w.focusWidget(), w.editor());
      ++clicked;
    }
    click(errors, 1);  // "Empty field. -> line_26"
    vema::testing::save_screenshot(&w, "input_check_window");
  });
  vema::check_gate(path.toStdString(), ui);
  QCOMPARE(clicked, 5);
}

void InputCheckWindowTest::emptyLinesCountWhenFindingTheLine() {
  // Guards against finding the line by counting only non-empty lines, which
  // selected the line after the named one whenever empty lines came before.
  const QByteArray text = "001|1|1|1\n100|0|1|0|0\n\n110|0|1\n";
  const QString path = write("empty_line.sif", text);
  InputCheckWindow window(&main_window_);
  ScriptedUi ui;
  ui.on_review = open_window(window, [&](InputCheckWindow& w) {
    QCOMPARE(w.error_list()->count(), 1);
    QCOMPARE(w.error_list()->item(0)->text(), QString("Illegal line identifier:  -> line_3"));
    click(w.error_list(), 0);
    const QTextCursor cursor = w.editor()->textCursor();
    QCOMPARE(cursor.selectionStart(), w.editor()->document()->findBlockByNumber(2).position());
    QCOMPARE(selection(w.editor()), QString("\n"));
  });
  QVERIFY(!vema::check_gate(path.toStdString(), ui));
  QCOMPARE(reviews_of(ui), 1);
}

void InputCheckWindowTest::missingLinePutsTheCursorAtTheEnd() {
  const QString path = write("starts_with_s.sif", "s\n001|1|1|1\n100|0|1|0|0\n");
  InputCheckWindow window(&main_window_);
  ScriptedUi ui;
  ui.on_review = open_window(window, [&](InputCheckWindow& w) {
    const int end = w.editor()->document()->characterCount() - 1;
    QCOMPARE(w.error_list()->item(0)->text(), QString("Input file is empty. -> line_0"));
    click(w.error_list(), 0);
    QVERIFY(!w.editor()->textCursor().hasSelection());
    QCOMPARE(w.editor()->textCursor().position(), end);

    // A line past the end of the text goes to the end as well.
    w.editor()->moveCursor(QTextCursor::Start);
    w.warning_list()->addItem("Somewhere -> line_40");
    click(w.warning_list(), 0);
    QVERIFY(!w.editor()->textCursor().hasSelection());
    QCOMPARE(w.editor()->textCursor().position(), end);
  });
  QVERIFY(!vema::check_gate(path.toStdString(), ui));
}

QTEST_MAIN(InputCheckWindowTest)
#include "input_check_window_test.moc"
