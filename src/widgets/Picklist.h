#pragma once

#include <QListWidget>

class CheckListModel;

enum TSelectedStyle { psStandard, psCheckbox, psBoldText, psOwnerDraw };

// A multiple-selection list of rows whose columns are separated by TAB. In the check-box style
// a selected row is drawn with a ticked box in front of it instead of a highlight, so selection
// reads as a check mark; Checked() is that selection.
class TPickList : public QListWidget {
    Q_OBJECT

public:
    explicit TPickList(QWidget *parent = nullptr);

    QString itemText(int row) const;
    QStringList Items() const;
    void setItems(const QStringList &rows);
    // Adds a row; a Sorted list puts it in its place, without regard to case.
    void addRow(const QString &text);
    // The rows and check marks of model.
    void loadFrom(const CheckListModel &model);
    QStringList checkedRows() const;
    void setAllChecked(bool checked);

    bool Checked(int row) const;
    // Ticks or clears the row and repaints it; raises no event.
    void setChecked(int row, bool checked);

    bool MultiSelect() const { return m_multiSelect; }
    void setMultiSelect(bool multiSelect);
    // True: a click selects one row, with Ctrl and Shift extending; false: a click toggles a row.
    bool ExtendedSelect() const { return m_extendedSelect; }
    void setExtendedSelect(bool extended);
    bool Sorted() const { return isSortingEnabled(); }
    void setSorted(bool sorted);
    int ItemHeight() const { return m_itemHeight; }
    void setItemHeight(int height);
    QColor Color() const;
    void setColor(const QColor &color);
    TSelectedStyle SelectedStyle() const { return m_selectedStyle; }
    void setSelectedStyle(TSelectedStyle style);
    bool UseTabStops() const { return m_useTabStops; }
    void setUseTabStops(bool use);

    // The tab stops as "12" or "8;20": positions in average character widths from the list's
    // left edge.
    QString TabStops() const;
    // Keeps the stops of text; returns the empty text, or at the first entry that is no integer
    // the message "<entry> is an invalid tab stop" (the entries before it stay kept).
    QString setTabStops(const QString &text);
    QList<int> tabStopList() const { return m_tabStops; }

Q_SIGNALS:
    // After every click on a row, every tick changed with the mouse (a drag across rows
    // included) and every key that moves, toggles or would move the current row.
    void OnClick();
    // After such a click or key, when the current row is another than the one last reported.
    void OnChange();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void rowClicked();
    void applySelectionMode();

    bool m_multiSelect = true;
    bool m_extendedSelect = false;
    int m_itemHeight = 16;
    TSelectedStyle m_selectedStyle = psCheckbox;
    bool m_useTabStops = true;
    QList<int> m_tabStops;
    int m_lastReportedRow = -1;
    // A tick changed by the mouse gesture under way, not yet reported.
    bool m_userChange = false;
    bool m_inMouseGesture = false;
};
