// The opcode table: which opcodes exist, their operands and names, and lookups outside the table.
#include "scenario/script/OpcodeTable.h"

#include <set>
#include <string_view>

#include <gtest/gtest.h>

TEST(OpcodeTable, DefinesExactlyTheCoreAndCommandOpcodes)
{
    std::set<std::string_view> names;
    for (unsigned op = 0; op < Opcodes::Count; ++op) {
        const OpcodeInfo& info = Opcodes::Info(op);
        const bool undefined = op == 7 || op == 12 || op == 13 || op == 17 || op == 18 || op == 47 || (op >= 49 && op <= 63) || op >= 167;
        EXPECT_EQ(info.group == OpcodeGroup::Undefined, undefined) << op;
        if (!undefined) {
            EXPECT_EQ(info.group == OpcodeGroup::Command, op >= 64) << op;
            EXPECT_TRUE(names.insert(info.mnemonic).second) << info.mnemonic;
            EXPECT_EQ(Opcodes::Find(info.mnemonic), op);
        }
        EXPECT_EQ(Opcodes::Length(op), op >= 1 && op <= 5 && op != 2 ? 6u : 2u) << op;
    }
    EXPECT_EQ(Opcodes::Info(176).group, OpcodeGroup::Undefined);
    EXPECT_EQ(Opcodes::Info(0xFFFF).group, OpcodeGroup::Undefined);
    EXPECT_EQ(Opcodes::Find(""), std::nullopt);
    EXPECT_EQ(Opcodes::Find("PUSH"), std::nullopt);
    EXPECT_EQ(Opcodes::Info(120).pops, 4);
    EXPECT_EQ(Opcodes::Info(161).pushes, 1);
}
