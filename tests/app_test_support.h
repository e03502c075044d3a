// Helpers for driving the whole program through the recording fake: run it to
// its exit, script what happens before each pass of the frame loop, and cut
// the log into the start-up and the loop's passes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/application.h"
#include "fake/fake_platform.h"
#include "fake_test_support.h"
#include "platform/windows_values.h"

namespace shell_test {

// The program's own texts, in code page 932.
// "初期化に失敗しました。"
inline const std::string kInitFailedText =
    "\x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42";
// "Direct3D オブジェクトの生成に失敗しました。"
inline const std::string kNoDirect3DText =
    "Direct3D \x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xcc\x90\xb6\x90\xac"
    "\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42";
// "エラー"
inline const std::string kErrorCaption = "\x83\x47\x83\x89\x81\x5b";
// "ＭＳ Ｐゴシック"
inline const std::string kControlFontFace =
    "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";

// Runs the program until it ends; the exit code, or nothing when the loop
// had to be stopped by the guard of quitAtPass.
inline std::optional<uint32_t> runToExit() {
    try {
        runApplication();
    } catch (const fake::ProcessExit& exit) {
        return exit.code;
    } catch (const std::runtime_error& error) {
        ADD_FAILURE() << error.what();
    }
    return std::nullopt;
}

// Before the n-th PeekMessageA of the loop (counted from 0) runs `before(n)`;
// the n-th = `quitPass` finds WM_QUIT with `exitCode`. A loop that goes on far
// past that is stopped with an error.
inline void quitAtPass(size_t quitPass, std::function<void(size_t)> before = {},
                       uintptr_t exitCode = 0) {
    auto pass = std::make_shared<size_t>(0);
    fake::state().onPeek = [=] {
        const size_t n = (*pass)++;
        if (before) before(n);
        if (n == quitPass) fake::state().post(nullptr, platform::WM_QUIT, exitCode);
        if (n > quitPass + 100) throw std::runtime_error("the loop did not leave on WM_QUIT");
    };
}

// The calls made before the first PeekMessageA.
inline std::vector<fake::Call> startUpCalls() {
    std::vector<fake::Call> calls;
    for (const fake::Call& call : fake::state().calls) {
        if (call.name == "PeekMessageA") break;
        calls.push_back(call);
    }
    return calls;
}

// The calls of each loop pass: everything after one PeekMessageA up to the next.
inline std::vector<std::vector<fake::Call>> passes() {
    std::vector<std::vector<fake::Call>> result;
    for (const fake::Call& call : fake::state().calls) {
        if (call.name == "PeekMessageA")
            result.emplace_back();
        else if (!result.empty())
            result.back().push_back(call);
    }
    return result;
}

inline bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Whether a call whose name is or ends with `name` ("DispatchMessageA",
// ".BeginScene") is among `calls`.
inline bool has(const std::vector<fake::Call>& calls, const std::string& name) {
    for (const fake::Call& call : calls)
        if (call.name == name || endsWith(call.name, name)) return true;
    return false;
}

// One letter per pass: M a message was dispatched, F a frame was drawn,
// R a recovery was tried and nothing was drawn, - nothing happened (the
// last pass, which finds WM_QUIT).
inline std::string passShape() {
    std::string shape;
    for (const auto& pass : passes()) {
        if (has(pass, "DispatchMessageA"))
            shape += has(pass, ".BeginScene") ? '?' : 'M';
        else if (has(pass, ".BeginScene"))
            shape += 'F';
        else if (has(pass, "MsgWaitForMultipleObjects"))
            shape += 'W';
        else if (has(pass, ".TestCooperativeLevel"))
            shape += 'R';
        else
            shape += '-';
    }
    return shape;
}

// The calls among `calls` with the given name or suffix, as text.
inline std::vector<std::string> textsOf(const std::vector<fake::Call>& calls,
                                        const std::vector<std::string>& names) {
    std::vector<std::string> result;
    for (const fake::Call& call : calls)
        for (const std::string& name : names)
            if (call.name == name || endsWith(call.name, name)) {
                result.push_back(call.text());
                break;
            }
    return result;
}

}  // namespace shell_test
