#pragma once

#include <QDialog>

class QLineEdit;
class QListWidgetItem;
class TTablist;

// "Select a file extension": type one extension, or pick one or several registered ones.
class TfrmSelectExtension : public QDialog {
    Q_OBJECT

public:
    explicit TfrmSelectExtension(QWidget *parent = nullptr);

    // After OK: whether two or more rows were selected; if not, the pattern formed from the
    // typed text (empty for "*.*", ".*" and "*") and its description.
    bool severalRows() const { return m_severalRows; }
    QString pattern() const { return m_pattern; }
    QString description() const { return m_description; }
    QStringList selectedRows() const;

    // The pattern a typed text stands for: "doc", ".doc" and "*.doc" all give "*.doc".
    static QString patternOf(const QString &typed);

    QLineEdit *edExtension;
    TTablist *lbExtensions;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void lbExtensionsClick();
    void lbExtensionsDblClick();
    void btOKClick();
    // Takes the results from the list and the typed text; true when a single pattern was
    // examined (also when it was a wildcard that sets nothing).
    bool confirmChoice();

    bool m_severalRows = false;
    QString m_pattern;
    QString m_description;
};
