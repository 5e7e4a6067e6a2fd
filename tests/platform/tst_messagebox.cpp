// The real message box behind AfxMessageBox: which answer its keys and
// buttons give for each set of buttons.

#include "platform/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace quorrel::platform;

namespace {

// Runs `answer` on the box once it shows.
void WhenBoxShows(std::function<void(QMessageBox*)> answer)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            answer(box);
        }
    });
    poll->start(10);
}

void PressKey(Qt::Key key)
{
    WhenBoxShows([key](QMessageBox* box) { QTest::keyClick(box, key); });
}

TEST(MessageBox, AYesNoQuestionAnswersNoUnlessYesIsChosen)
{
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(AfxMessageBox("Reset?", MsgButtons::YesNo, MsgIcon::Question), MsgResult::No);
    PressKey(Qt::Key_Return);
    EXPECT_EQ(AfxMessageBox("Reset?", MsgButtons::YesNo, MsgIcon::Question), MsgResult::No);
    WhenBoxShows([](QMessageBox* box) {
        EXPECT_EQ(box->text(), "Reset?");
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(AfxMessageBox("Reset?", MsgButtons::YesNo, MsgIcon::Question), MsgResult::Yes);
}

TEST(MessageBox, SaveChangesKeepsItsYesDefaultAndCancelEscape)
{
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(AfxMessageBox("Save?", MsgButtons::YesNoCancel), MsgResult::Cancel);
    PressKey(Qt::Key_Return);
    EXPECT_EQ(AfxMessageBox("Save?", MsgButtons::YesNoCancel), MsgResult::Yes);
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(AfxMessageBox("Done."), MsgResult::Ok);
}

} // namespace
