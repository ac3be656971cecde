#pragma once

#include <QDialog>

class EffectLabel;
class QLabel;
class QPushButton;
class TPickList;

// "File types": edits the include or the exclude list of the settings file. "Close" (or Esc)
// writes the list and closes with OK; the close box closes with Cancel and writes nothing.
class TfrmStatList : public QDialog {
    Q_OBJECT

public:
    explicit TfrmStatList(QWidget *parent = nullptr);

    // "Include" or "Exclude", set before the dialog is shown.
    QString section;

    TPickList *lbStatFiles;
    EffectLabel *lblHeading;
    QLabel *lblCount;
    QPushButton *btAdd;
    QPushButton *btDelete;
    QPushButton *btClear;
    QPushButton *btClose;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormShow();
    void btAddClick();
    void btDeleteClick();
    void btClearClick();
    void btCloseClick();
    void updateCount();
    // Adds row unless the list holds one with the same text, without regard to case.
    void addUnlessPresent(const QString &row);
};
