#include "scenario/script/OpcodeTable.h"

#include <array>

namespace {

constexpr std::array<OpcodeInfo, Opcodes::Count> kTable{{
    {"nop", OpcodeGroup::Core, 0, 0, 0}, // 0
    {"push", OpcodeGroup::Core, 4, 0, 1}, // 1
    {"drop", OpcodeGroup::Core, 0, 1, 0}, // 2
    {"jmp", OpcodeGroup::Core, 4, 0, 0}, // 3
    {"jz", OpcodeGroup::Core, 4, 1, 0}, // 4
    {"jnz", OpcodeGroup::Core, 4, 1, 0}, // 5
    {"call", OpcodeGroup::Core, 0, 1, 1}, // 6
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 7
    {"dup", OpcodeGroup::Core, 0, 1, 2}, // 8
    {"swap", OpcodeGroup::Core, 0, 2, 2}, // 9
    {"over", OpcodeGroup::Core, 0, 2, 3}, // 10
    {"swap2", OpcodeGroup::Core, 0, 3, 3}, // 11
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 12
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 13
    {"ret", OpcodeGroup::Core, 0, -1, -1}, // 14
    {"halt", OpcodeGroup::Core, 0, 0, 0}, // 15
    {"not", OpcodeGroup::Core, 0, 1, 1}, // 16
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 17
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 18
    {"mul", OpcodeGroup::Core, 0, 2, 1}, // 19
    {"div", OpcodeGroup::Core, 0, 2, 1}, // 20
    {"mod", OpcodeGroup::Core, 0, 2, 1}, // 21
    {"add", OpcodeGroup::Core, 0, 2, 1}, // 22
    {"sub", OpcodeGroup::Core, 0, 2, 1}, // 23
    {"lt", OpcodeGroup::Core, 0, 2, 1}, // 24
    {"le", OpcodeGroup::Core, 0, 2, 1}, // 25
    {"gt", OpcodeGroup::Core, 0, 2, 1}, // 26
    {"ge", OpcodeGroup::Core, 0, 2, 1}, // 27
    {"eq", OpcodeGroup::Core, 0, 2, 1}, // 28
    {"ne", OpcodeGroup::Core, 0, 2, 1}, // 29
    {"and", OpcodeGroup::Core, 0, 2, 1}, // 30
    {"or", OpcodeGroup::Core, 0, 2, 1}, // 31
    {"setflag", OpcodeGroup::Core, 0, 2, 0}, // 32
    {"getflag", OpcodeGroup::Core, 0, 1, 1}, // 33
    {"setsysflag", OpcodeGroup::Core, 0, 2, 0}, // 34
    {"getsysflag", OpcodeGroup::Core, 0, 1, 1}, // 35
    {"setvar", OpcodeGroup::Core, 0, 2, 0}, // 36
    {"getvar", OpcodeGroup::Core, 0, 1, 1}, // 37
    {"setsysvar", OpcodeGroup::Core, 0, 2, 0}, // 38
    {"getsysvar", OpcodeGroup::Core, 0, 1, 1}, // 39
    {"setname", OpcodeGroup::Core, 0, 2, 0}, // 40
    {"signbit", OpcodeGroup::Core, 0, 1, 1}, // 41
    {"setreg1", OpcodeGroup::Core, 0, 1, 0}, // 42
    {"getreg1", OpcodeGroup::Core, 0, 0, 1}, // 43
    {"getlocalflag", OpcodeGroup::Core, 0, 1, 1}, // 44
    {"getsubvar", OpcodeGroup::Core, 0, 1, 1}, // 45
    {"getreg2", OpcodeGroup::Core, 0, 0, 1}, // 46
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 47
    {"scene", OpcodeGroup::Core, 0, 1, 0}, // 48
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 49
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 50
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 51
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 52
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 53
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 54
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 55
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 56
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 57
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 58
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 59
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 60
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 61
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 62
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 63
    {"message", OpcodeGroup::Command, 0, 1, 0}, // 64
    {"newline", OpcodeGroup::Command, 0, 0, 0}, // 65
    {"newpage", OpcodeGroup::Command, 0, 0, 0}, // 66
    {"windowopen", OpcodeGroup::Command, 0, 0, 0}, // 67
    {"windowclose", OpcodeGroup::Command, 0, 0, 0}, // 68
    {"messagespeed", OpcodeGroup::Command, 0, 1, 0}, // 69
    {"novel", OpcodeGroup::Command, 0, 1, 0}, // 70
    {"printpos", OpcodeGroup::Command, 0, 2, 0}, // 71
    {"wait", OpcodeGroup::Command, 0, 1, 0}, // 72
    {"clickwait", OpcodeGroup::Command, 0, 0, 0}, // 73
    {"noskip", OpcodeGroup::Command, 0, 1, 0}, // 74
    {"voice", OpcodeGroup::Command, 0, 1, 0}, // 75
    {"voicelevel", OpcodeGroup::Command, 0, 1, 0}, // 76
    {"voiceparams", OpcodeGroup::Command, 0, 2, 0}, // 77
    {"bgm", OpcodeGroup::Command, 0, 2, 0}, // 78
    {"bgmstop", OpcodeGroup::Command, 0, 1, 0}, // 79
    {"bgmlevel", OpcodeGroup::Command, 0, 1, 0}, // 80
    {"bgmonce", OpcodeGroup::Command, 0, 2, 0}, // 81
    {"bgmstop2", OpcodeGroup::Command, 0, 1, 0}, // 82
    {"bgmlevel2", OpcodeGroup::Command, 0, 1, 0}, // 83
    {"se", OpcodeGroup::Command, 0, 1, 0}, // 84
    {"sestop", OpcodeGroup::Command, 0, 0, 0}, // 85
    {"selevel", OpcodeGroup::Command, 0, 1, 0}, // 86
    {"separams", OpcodeGroup::Command, 0, 2, 0}, // 87
    {"ambient", OpcodeGroup::Command, 0, 2, 0}, // 88
    {"ambientstop", OpcodeGroup::Command, 0, 1, 0}, // 89
    {"ambientlevel", OpcodeGroup::Command, 0, 1, 0}, // 90
    {"ambientparams", OpcodeGroup::Command, 0, 2, 0}, // 91
    {"bg", OpcodeGroup::Command, 0, 1, 0}, // 92
    {"bgspecial998", OpcodeGroup::Command, 0, 0, 0}, // 93
    {"bgspecial999", OpcodeGroup::Command, 0, 0, 0}, // 94
    {"charput", OpcodeGroup::Command, 0, 2, 0}, // 95
    {"charclear", OpcodeGroup::Command, 0, 1, 0}, // 96
    {"stagechange", OpcodeGroup::Command, 0, 1, 0}, // 97
    {"bgchange", OpcodeGroup::Command, 0, 2, 0}, // 98
    {"bg998change", OpcodeGroup::Command, 0, 1, 0}, // 99
    {"bg999change", OpcodeGroup::Command, 0, 1, 0}, // 100
    {"charputrefresh", OpcodeGroup::Command, 0, 3, 0}, // 101
    {"charclearrefresh", OpcodeGroup::Command, 0, 2, 0}, // 102
    {"charredraw", OpcodeGroup::Command, 0, 0, 0}, // 103
    {"charclearall", OpcodeGroup::Command, 0, 0, 0}, // 104
    {"effect", OpcodeGroup::Command, 0, 1, 0}, // 105
    {"cursorshow", OpcodeGroup::Command, 0, 0, 0}, // 106
    {"cursorhide", OpcodeGroup::Command, 0, 0, 0}, // 107
    {"placename", OpcodeGroup::Command, 0, 1, 0}, // 108
    {"setdate", OpcodeGroup::Command, 0, 1, 0}, // 109
    {"getdate", OpcodeGroup::Command, 0, 0, 1}, // 110
    {"getmonth", OpcodeGroup::Command, 0, 0, 1}, // 111
    {"getday", OpcodeGroup::Command, 0, 0, 1}, // 112
    {"getweekday", OpcodeGroup::Command, 0, 0, 1}, // 113
    {"settime", OpcodeGroup::Command, 0, 1, 0}, // 114
    {"gettime", OpcodeGroup::Command, 0, 0, 1}, // 115
    {"gethour", OpcodeGroup::Command, 0, 0, 1}, // 116
    {"getminute", OpcodeGroup::Command, 0, 0, 1}, // 117
    {"setmode", OpcodeGroup::Command, 0, 1, 0}, // 118
    {"getmode", OpcodeGroup::Command, 0, 0, 1}, // 119
    {"choice", OpcodeGroup::Command, 0, 4, 0}, // 120
    {"openingmovie", OpcodeGroup::Command, 0, 0, 0}, // 121
    {"endingmovie", OpcodeGroup::Command, 0, 1, 0}, // 122
    {"end", OpcodeGroup::Command, 0, 0, 0}, // 123
    {"gameend", OpcodeGroup::Command, 0, 1, 0}, // 124
    {"optionsclear", OpcodeGroup::Command, 0, 0, 0}, // 125
    {"optionsset", OpcodeGroup::Command, 0, 0, 0}, // 126
    {"setoption", OpcodeGroup::Command, 0, 2, 0}, // 127
    {"extraselect", OpcodeGroup::Command, 0, 1, 0}, // 128
    {"adddays", OpcodeGroup::Command, 0, 1, 0}, // 129
    {"addminutes", OpcodeGroup::Command, 0, 1, 0}, // 130
    {"ambientparam", OpcodeGroup::Command, 0, 1, 0}, // 131
    {"slideright", OpcodeGroup::Command, 0, 0, 0}, // 132
    {"slideleft", OpcodeGroup::Command, 0, 0, 0}, // 133
    {"timeopen", OpcodeGroup::Command, 0, 1, 0}, // 134
    {"timeclose", OpcodeGroup::Command, 0, 1, 0}, // 135
    {"dateopen", OpcodeGroup::Command, 0, 1, 0}, // 136
    {"dateclose", OpcodeGroup::Command, 0, 1, 0}, // 137
    {"bgmfade", OpcodeGroup::Command, 0, 1, 0}, // 138
    {"bgmstopfade", OpcodeGroup::Command, 0, 0, 0}, // 139
    {"bgmoncefade", OpcodeGroup::Command, 0, 1, 0}, // 140
    {"bgmstopfade2", OpcodeGroup::Command, 0, 0, 0}, // 141
    {"ambientnofade", OpcodeGroup::Command, 0, 1, 0}, // 142
    {"ambientstopfade", OpcodeGroup::Command, 0, 0, 0}, // 143
    {"viewitem", OpcodeGroup::Command, 0, 1, 0}, // 144
    {"setmeter", OpcodeGroup::Command, 0, 1, 0}, // 145
    {"getmeter", OpcodeGroup::Command, 0, 0, 1}, // 146
    {"setmeterlevel", OpcodeGroup::Command, 0, 1, 0}, // 147
    {"getmeterlevel", OpcodeGroup::Command, 0, 0, 1}, // 148
    {"addmeter", OpcodeGroup::Command, 0, 1, 0}, // 149
    {"submeter", OpcodeGroup::Command, 0, 1, 0}, // 150
    {"raisemeter", OpcodeGroup::Command, 0, 1, 0}, // 151
    {"lowermeter", OpcodeGroup::Command, 0, 1, 0}, // 152
    {"setextra", OpcodeGroup::Command, 0, 1, 0}, // 153
    {"talkonly", OpcodeGroup::Command, 0, 1, 0}, // 154
    {"talkall", OpcodeGroup::Command, 0, 0, 0}, // 155
    {"talknone", OpcodeGroup::Command, 0, 0, 0}, // 156
    {"talkanim", OpcodeGroup::Command, 0, 1, 0}, // 157
    {"talkstop", OpcodeGroup::Command, 0, 0, 0}, // 158
    {"stagespeed", OpcodeGroup::Command, 0, 1, 0}, // 159
    {"movie", OpcodeGroup::Command, 0, 1, 0}, // 160
    {"random", OpcodeGroup::Command, 0, 1, 1}, // 161
    {"speaker", OpcodeGroup::Command, 0, 1, 0}, // 162
    {"seenbg", OpcodeGroup::Command, 0, 1, 0}, // 163
    {"backlogclear", OpcodeGroup::Command, 0, 0, 0}, // 164
    {"autosave", OpcodeGroup::Command, 0, 0, 0}, // 165
    {"rankmode", OpcodeGroup::Command, 0, 1, 0}, // 166
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 167
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 168
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 169
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 170
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 171
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 172
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 173
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 174
    {{}, OpcodeGroup::Undefined, 0, 0, 0}, // 175
}};

constexpr OpcodeInfo kUndefined{{}, OpcodeGroup::Undefined, 0, 0, 0};

} // namespace

namespace Opcodes {

const OpcodeInfo& Info(unsigned opcode) { return opcode < kTable.size() ? kTable[opcode] : kUndefined; }

std::span<const OpcodeInfo, Count> Table() { return kTable; }

unsigned TextOperands(unsigned opcode)
{
    switch (opcode) {
    case 40: return 0b10;    // setname: index, text
    case 64: return 0b1;     // message
    case 120: return 0b1111; // choice: four texts
    default: return 0;
    }
}

std::optional<std::uint16_t> Find(std::string_view mnemonic)
{
    if (mnemonic.empty())
        return std::nullopt;
    for (std::size_t i = 0; i < kTable.size(); ++i)
        if (kTable[i].mnemonic == mnemonic)
            return static_cast<std::uint16_t>(i);
    return std::nullopt;
}

} // namespace Opcodes
