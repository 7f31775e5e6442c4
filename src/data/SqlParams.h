#pragma once

#include <QString>
#include <QStringList>

// Statement text with named parameters (":NAME") turned into positional ones ("?").
struct PositionalSql {
    QString text;
    QStringList names; // one per "?", in order
};

// Quoted strings, quoted identifiers and comments are left alone.
PositionalSql ToPositional(const QString& sql);
