// The help dialog's pages and texts, and the about box.
#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "fake_prompts.h"
#include "ui/about_box.h"
#include "ui/help_dialog.h"
#include "ui_test_support.h"

namespace quoll_test {

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void HelpOpensOnDemoAndKeepsTheLastPage() {
    FakePrompts prompts;
    quoll::MainWindow form(prompts);
    quoll::HelpDialog* help = form.Help();
    QString first, page;
    QTimer::singleShot(0, help, [help, &first] {
      first = help->Pages()->tabText(help->Pages()->currentIndex());
      help->Pages()->setCurrentIndex(0);
      QTest::keyClick(help, Qt::Key_Escape);
      if (help->isVisible()) help->reject();
    });
    Action(form, "helpAction")->trigger();  // modal until Escape
    QCOMPARE(first, QString("Demo"));
    QVERIFY(!help->isVisible());
    QTimer::singleShot(0, help, [help, &page] {
      page = help->Pages()->tabText(help->Pages()->currentIndex());
      help->accept();
    });
    Action(form, "helpAction")->trigger();
    QCOMPARE(page, QString("Functions"));
  }

  void HelpTextsAreReadOnlyButSelectable() {
    quoll::HelpDialog help;
    for (QPlainTextEdit* memo : {help.FunctionList(), help.DemoScript()}) {
      QVERIFY(memo->isReadOnly());
      QVERIFY(memo->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    }
    const QStringList functions = help.FunctionList()->toPlainText().split('\n');
    QCOMPARE(functions.size(), 60);
    QCOMPARE(functions[6], QString("  // nIndex: 1..n"));
    QCOMPARE(functions.last(), QString("function GetArrayLengtH(var u: array): Longint;"));
    const QStringList demo = help.DemoScript()->toPlainText().split('\n');
    QCOMPARE(demo.size(), 42);
    QCOMPARE(demo[28], QString("  // shoud be '61xx'"));
    QCOMPARE(help.windowTitle(), QString("Help"));
  }

  void AboutBoxNamesTheProgramAndVersion() {
    quoll::AboutBox about;
    QCOMPARE(about.windowTitle(), QString("About"));
    QCOMPARE(about.findChild<QLabel*>("ProductName")->text(), QString("Quoll"));
    QCOMPARE(about.findChild<QLabel*>("Version")->text(), QString("Version 0.4"));
  }
};

std::unique_ptr<QObject> NewDialogsTest() {
  return std::make_unique<DialogsTest>();
}

}  // namespace quoll_test

#include "dialogs_test.moc"
