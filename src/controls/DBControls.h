#pragma once

#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <functional>

class DataSource;
class FieldLink;

// A line edit bound to a field: typing puts the record into edit state, the text is handed to
// the row when the control loses the focus or the record is posted.
class TDBEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit TDBEdit(QWidget* parent = nullptr);
    void SetDataSource(DataSource* source);
    void SetDataField(const QString& field);
    FieldLink* Link() const { return link_; }
    // Writes the typed text into the field; raises when the field refuses it.
    void UpdateRecord();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void Reload();
    void StateChanged();
    void UserEdited();
    FieldLink* link_;
};

// A combo box bound to a field: a drop-down list of listed values only, or editable with the
// listed values as suggestions.
class TDBComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit TDBComboBox(QWidget* parent = nullptr);
    void SetDataSource(DataSource* source);
    void SetDataField(const QString& field);
    // List only (the default) or free text.
    void SetListOnly(bool listOnly);
    void SetItems(const QStringList& items);
    // A grey text drawn at the right of each listed item, by the item's text; the stored value
    // stays the item's text.
    void SetItemDetails(const QHash<QString, QString>& details);
    static constexpr int kDetailRole = Qt::UserRole + 1;
    FieldLink* Link() const { return link_; }
    void UpdateRecord();
    // Runs before the list drops down (to refill it).
    std::function<void()> OnDropDown;

    void showPopup() override;

  protected:
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void Reload();
    void StateChanged();
    void UserChose(int index);
    void UserEdited();
    FieldLink* link_;
    bool loading_ = false;
};

// Read-only display of a field.
class TDBText : public QLabel {
    Q_OBJECT
  public:
    explicit TDBText(QWidget* parent = nullptr);
    void SetDataSource(DataSource* source);
    void SetDataField(const QString& field);

  private:
    FieldLink* link_;
};
