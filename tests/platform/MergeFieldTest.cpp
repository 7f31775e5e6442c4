#include "platform/MergeField.h"

#include <gtest/gtest.h>

namespace {

// Instructions as word processors write them, and the column each names.
TEST(MergeFieldTest, NamesTheColumnOfMergeFieldsOnly) {
    const struct {
        const char* instruction;
        const char* name;
    } cases[] = {
        {"MERGEFIELD 氏名", "氏名"},
        {"  mergefield  住所1 \\* MERGEFORMAT ", "住所1"},
        {"MERGEFIELD \"会社 名\" \\* MERGEFORMAT", "会社 名"},
        {"MERGEFIELD \"a\\\"b\"", "a\"b"},
        {"MERGEFIELD　全角空白", "全角空白"},
        {"MERGEFIELD \"unterminated", "unterminated"},
        {"MERGEFIELDX 氏名", ""},
        {"MERGEFIELD", ""},
        {"PAGE", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MergeField::NameOf(QString::fromUtf8(c.instruction)), QString::fromUtf8(c.name))
            << c.instruction;
}

TEST(MergeFieldTest, InstructionReadsBackAsItsName) {
    for (const char* name : {"氏名", "会社 名", "a\"b\\c", "x"}) {
        const QString instruction = MergeField::Instruction(QString::fromUtf8(name));
        EXPECT_EQ(MergeField::NameOf(instruction), QString::fromUtf8(name)) << name;
    }
    EXPECT_EQ(MergeField::Instruction(QStringLiteral("氏名")), QStringLiteral("MERGEFIELD 氏名"));
}

} // namespace
