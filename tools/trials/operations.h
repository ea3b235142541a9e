#pragma once

#include "session.h"
#include "trial_folder.h"

#include <functional>
#include <string>
#include <vector>

namespace chengxi::trials {

// What a trial finds once the killed process is gone.
struct Finding {
    std::string fault;   // empty when everything is consistent
    std::string outcome; // "complete" or "absent": whether the operation happened
};

// One writing operation put to the trial: the state every trial starts
// from, the steps up to the action, and what must hold afterwards.
struct Operation {
    std::string name;
    // Lays out the folder every trial of this operation starts from.
    std::function<void(const TrialFolder&)> prepare;
    // In the process that will be killed: logs in and gets everything ready,
    // calls `ready` just before the action itself, then acts.
    std::function<void(Session&, const std::function<void()>& ready)> act;
    // Whether the interrupted operation is there completely or not at all.
    std::function<Finding(const TrialFolder&)> verify;
};

const std::vector<Operation>& operations();

// What holds after every trial, whatever the operation: the database passes
// its integrity check and keeps its rollback journal, and the next start
// logs in without a message. Empty when all of it holds.
std::string verifyDatabaseAndNextStart(const TrialFolder& folder);

} // namespace chengxi::trials
