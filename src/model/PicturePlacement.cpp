#include "model/PicturePlacement.h"

#include "data/Query.h"

namespace {

Field FieldOf(Query& q, const char* name) {
    return q.FieldByName(QString::fromLatin1(name));
}

} // namespace

PicturePlacement PicturePlacement::FromRecord(Query& designs) {
    PicturePlacement p;
    p.x = FieldOf(designs, "G_X").AsInteger();
    p.y = FieldOf(designs, "G_Y").AsInteger();
    p.width = FieldOf(designs, "G_Width").AsInteger();
    p.height = FieldOf(designs, "G_Height").AsInteger();
    p.shown = FieldOf(designs, "G_Show").AsInteger() == 1;
    p.stretched = FieldOf(designs, "G_Stretch").AsInteger() == 1;
    return p;
}

void PicturePlacement::IntoRecord(Query& designs) const {
    FieldOf(designs, "G_Stretch").SetValue(stretched ? 1 : 0);
    FieldOf(designs, "G_Show").SetValue(shown ? 1 : 0);
    FieldOf(designs, "G_X").SetValue(x);
    FieldOf(designs, "G_Y").SetValue(y);
    FieldOf(designs, "G_Height").SetValue(height);
    FieldOf(designs, "G_Width").SetValue(width);
}
