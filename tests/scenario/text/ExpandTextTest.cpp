// TScriptEngine::ExpandText: game values, white space and double-byte characters in message text.
#include "base/packs/TFileMan.h"
#include "scenario/records/TGameState.h"
#include "scenario/records/TReadMesTable.h"
#include "scenario/records/TSystemState.h"
#include "scenario/script/TScriptEngine.h"
#include "scenario/script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <string>

TEST(ExpandText, ReplacesValuesAndDropsWhiteSpace)
{
    TFileMan files(nullptr);
    TGameState state, sceneStart;
    TSystemState system;
    TReadMesTable readMes;
    ScriptTest::RecordingScreen screen;
    const TScriptEngine engine({files, files, state, sceneStart, system, readMes, screen});
    state.SetVar(12, -5);
    state.SetVar(1, 7);
    state.SetVar(0, 3);
    state.SetFrameWord1(42);
    state.SetNameText(2, "Ann %v1");
    state.SetNameText(3, "b\xD6\xD0\xD6"); // ends in a lone lead byte

    struct Case {
        std::string text;
        std::string expanded;
    };
    const Case cases[] = {
        {"x%v12y", "x-5y"},
        {"%v1%v0", "73"},
        {"%vq", "q"},                     // "%v" and no digits: both bytes go
        {"a%", "a"},                      // "%" as the last byte
        {"%%r", "42"},                    // the first "%" goes, then "%r" expands
        {"%v", "v"},                      // "v" as the last byte: only "%" goes
        {"%x", "x"},
        {"%s2!", "Ann %v1!"},             // inserted text is not scanned again
        {"%s3c", "b\xD6\xD0" "c"},        // a name's lone lead byte does not swallow the next byte
        {"%v64|%v99999999999999|%s16|%s99999999999", "0|0||"}, // out of range, digit runs saturate
        {"a b\tc\r\nd", "abcd"},
        {"\xA1\xA1x", "\xA1\xA1x"},       // a full-width blank stays
        {"\x81%v1", "\x81%v1"},           // a pair whose trail byte is "%" is no escape
        {"ab\xD6", "ab"},                 // a lone lead byte at the end goes
        {"\xD6\xD0 \xD6\xD0", "\xD6\xD0\xD6\xD0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(engine.ExpandText(c.text), c.expanded) << c.text;
}
