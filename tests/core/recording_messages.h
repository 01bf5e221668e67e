#pragma once
// A Messages port for tests: records every text shown or asked, and answers
// questions from a script (Yes when the script is empty).

#include <deque>
#include <string>
#include <vector>

#include "model/messages.h"

class RecordingMessages : public kestro::Messages {
public:
    std::vector<std::string> shown;
    std::vector<std::string> asked;
    std::deque<kestro::Answer> answers;
    int beeps = 0;

    void show(const std::string& text) override { shown.push_back(text); }
    kestro::Answer ask(const std::string& text) override
    {
        asked.push_back(text);
        if (answers.empty()) return kestro::Answer::Yes;
        const kestro::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void beep() override { ++beeps; }
};
