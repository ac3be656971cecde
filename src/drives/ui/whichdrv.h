#pragma once

#include <QDialog>

#include <functional>

class EffectLabel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class TPickList;

// "Which drives and file types?": the drives to walk (page 1), all files or some types
// (page 2), and the types (page 3). After OK the caller reads checkedDrives(), the mode and
// checkedTypes().
class TfrmWhichDrive : public QDialog {
    Q_OBJECT

public:
    explicit TfrmWhichDrive(QWidget *parent = nullptr);

    QStringList checkedDrives() const;
    QStringList checkedTypes() const;
    bool allFiles() const { return m_allFiles; }
    bool includeSelected() const { return m_includeSelected; }
    bool excludeSelected() const { return m_excludeSelected; }
    bool enterHiddenFolders() const;
    bool listLongExtensions() const;
    bool countOnDisk() const;
    // The run is kept in the history database (off unless the user ticks it).
    bool keepHistory() const;
    // The name patterns of folders not to enter.
    QStringList skipFolders() const;
    // Asks the user for a folder to add; empty when none was chosen. The desktop's folder
    // dialog unless replaced (tests answer it themselves).
    static std::function<QString(QWidget *)> chooseFolder;
    // The page on show, 1 to 3.
    int currentPage() const;

    TPickList *pckDrives;
    TPickList *pckTypes;
    QRadioButton *rbAllFiles;
    QRadioButton *rbSelected;
    QRadioButton *rbExcept;
    QPushButton *btCancel;
    QPushButton *btNext1;
    QPushButton *btAddFolder;
    QCheckBox *cbHiddenFolders;
    QCheckBox *cbLongExtensions;
    QCheckBox *cbOnDisk;
    QCheckBox *cbKeepHistory;
    QLineEdit *edSkipFolders;
    QPushButton *btPrevious2;
    QPushButton *btNext2;
    QPushButton *btAddDelete;
    QPushButton *btPrevious3;
    QPushButton *btOK;
    EffectLabel *lblHeading3;
    QLabel *lblCount;

    static constexpr int pageWidth = 281;
    static constexpr int pageHeight = 313;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void showPage(int page);
    void pckDrivesClick();
    void pckTypesClick();
    void btNext1Click();
    void btNext2Click();
    void btAddDeleteClick();
    void btOKClick();
    void btAddFolderClick();
    void addFolderRow(const QString &folder, bool checked);
    void removeFolderRow();
    // Remembers the options and the chosen folders for the next run.
    void saveRunSettings();
    QString typeSection() const;
    void readTypes(const QString &section);
    void updateTypeCount();
    void addSelectMenu(TPickList *list, void (TfrmWhichDrive::*evaluate)());

    QStackedWidget *m_pages;
    bool m_allFiles = true;
    bool m_includeSelected = false;
    bool m_excludeSelected = false;
};
