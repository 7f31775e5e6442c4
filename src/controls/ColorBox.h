#pragma once

#include <QComboBox>
#include <QStyleOptionComboBox>
#include <optional>
#include <vector>

// A list of named colours, each with a swatch. Values are in the settings' colour encoding:
// 0x00BBGGRR for a colour, 0xFF0000nn for system colour nn. There is no custom entry, so a
// value outside the list selects nothing.
class TColorBox : public QComboBox {
    Q_OBJECT
  public:
    explicit TColorBox(QWidget* parent = nullptr);

    std::optional<int> Selected() const;
    // Selects the entry holding the value; a value that is not listed leaves none selected.
    void SetSelected(int value);
    int ValueAt(int index) const;
    // The current name as the closed box shows it: shortened in the middle when it is too long,
    // so that names sharing a beginning stay apart.
    QString ShownText() const;

    struct Entry {
        const char16_t* name;
        quint32 value;
    };
    // Standard colours, then the extended ones, then the system colours.
    static const std::vector<Entry>& Entries();

  protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void PaintSwatches();
    int TextRoom(const QStyleOptionComboBox& option) const;
};
