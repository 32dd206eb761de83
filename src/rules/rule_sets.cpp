// The rule sets the referee and the judge can apply.

#include "rules/rules.h"

namespace {

constexpr RuleSet MakeStandardRules() {
    RuleSet rules{};
    for (int type = AdvisorType; type <= CannonType; type++) {
        rules.chaser[type] = true;
        rules.chased[type] = true;
    }
    rules.chased[PawnType] = true;
    rules.uncrossedPawnsChased = false;
    // A horse or cannon is worth less than a rook, an advisor or elephant
    // less than any of the three: attacking them is a threat even when the
    // capture could be answered.
    rules.chasesProtected[KnightType][RookType] = true;
    rules.chasesProtected[CannonType][RookType] = true;
    for (int target = KnightType; target <= CannonType; target++) {
        rules.chasesProtected[AdvisorType][target] = true;
        rules.chasesProtected[BishopType][target] = true;
    }
    rules.mutualAttacksExempt = true;
    rules.repetitionsToEnd = 3;
    rules.quietPlyLimit = 120;
    rules.countedChecks = 10;
    return rules;
}

}  // namespace

constexpr RuleSet StandardRules = MakeStandardRules();
