#pragma once

// The hidden Quarn Quiz: a full-screen window that asks the 35 questions of quiz_table.h in random
// order, keeps the score and shows a score code at the end.

#include <QDialog>
#include <QRandomGenerator>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "dialogs.h"

class QButtonGroup;
class QVBoxLayout;

namespace Ui {
class Tfrm_QuarnQuiz;
}

namespace varnel {

// A background filled with a vertical gradient from a colour to black in a number of bands.
class GradientBackground : public QWidget {
    Q_OBJECT
public:
    explicit GradientBackground(QWidget* parent = nullptr);
    void setColors(const QColor& from, const QColor& to, int bands);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_from{0x80, 0x80, 0xFF};
    QColor m_to{Qt::black};
    int m_bands = 255;
};

// A caption whose letters are filled with a gradient, with a shadow behind them.
class GradientLabel : public QWidget {
    Q_OBJECT
public:
    explicit GradientLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const { return m_text; }
    void setColors(const QColor& from, const QColor& to, const QColor& shadow);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QColor m_from{Qt::cyan};
    QColor m_to{Qt::blue};
    QColor m_shadow{0, 0, 0x80};
};

// A caption bar with a horizontal gradient and its text in white.
class GradientCaption : public QWidget {
    Q_OBJECT
public:
    explicit GradientCaption(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

// A dot-matrix display of a fixed number of characters, lit dots in one colour on black.
class LcdLabel : public QWidget {
    Q_OBJECT
public:
    explicit LcdLabel(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const { return m_text; }
    void setCharacterCount(int count);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    int m_characters = 2;
    QColor m_on{Qt::cyan};
};

// What DevPellanOn does: creates the quiz window, runs it modally from its welcome screen and
// destroys it. Does nothing without a QApplication.
void ShowQuarnQuiz();

class Tfrm_QuarnQuiz : public QDialog {
    Q_OBJECT
public:
    // `dialogs` shows the quiz's boxes and is borrowed; null uses Qt's (kestrix::QtDialogs), which
    // stay on top of the full-screen window as it does.
    explicit Tfrm_QuarnQuiz(QWidget* parent = nullptr, kestrix::Dialogs* dialogs = nullptr);
    ~Tfrm_QuarnQuiz() override;

    int stepCounter() const { return m_step; }
    // Number of the question on screen; -1 before the first one.
    int currentQuestion() const { return m_current; }
    const QStringList& askedList() const { return m_asked; }
    // The checked answer of the question on screen, -1 when none.
    int selectedAnswer() const;
    // Checks answer `index` of the question on screen, as a click on it would.
    void chooseAnswer(int index);

    Ui::Tfrm_QuarnQuiz* ui;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void FormActivate();
    void placeControls();
    void pp_FormResize();
    void btn_NextClick();
    void btn_CloseClick();
    void StartQuiz();
    void NextQuestion();
    void CheckAnswer();
    void FinishQuiz();
    void showQuestion(int number);
    void setTextBorder(int borderHeight, int labelHeight);

    kestrix::Dialogs* m_dialogs;
    std::unique_ptr<kestrix::Dialogs> m_defaultDialogs;
    QButtonGroup* m_answers;
    QVBoxLayout* m_answerLayout;
    int m_step = 0;
    int m_current = -1;
    QStringList m_asked;
    QRandomGenerator m_random;
    bool m_activated = false;
};

}  // namespace varnel
