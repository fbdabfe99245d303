#pragma once

#include "platform/prompts.h"

// Answers every box with its default button and every input box with its default text, so a
// benchmark runs its commands without a person.
class DefaultAnswers : public cinemork::Prompter
{
public:
    cinemork::Answer ask(QWidget *, const QString &, cinemork::Buttons, cinemork::BoxIcon, cinemork::Answer d) override
    {
        return d;
    }
    QString input(QWidget *, const QString &, const QString &, const QString &d) override { return d; }
};
