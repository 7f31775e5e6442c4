#pragma once

#include <QHash>
#include <QString>

// The translations of a gettext message catalogue (.mo file), looked up by the English text.
class MessageCatalog {
  public:
    // False, leaving the catalogue empty, for a file that is missing or not a whole catalogue.
    bool Load(const QString& fileName);
    // The translation, or the text itself when the catalogue has none.
    QString Translate(const QString& english) const;
    int Count() const { return static_cast<int>(translations_.size()); }

  private:
    QHash<QString, QString> translations_;
};

// Where the template package keeps its Japanese translations.
QString InstalledTemplateTranslations();
