#pragma once

#include <QDialog>

class QPushButton;

// "How to contact us": who makes the program and how to reach them; opens their web page.
class TfrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    // Asks the browser for the maker's page; the error box when that fails.
    void openHomePage();
    void btHomePageClick();

    QPushButton *btOK;
    QPushButton *btHomePage;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_link;
    bool m_linkPressed = false; // the left button went down on the link
};
