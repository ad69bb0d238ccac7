// GTP commands that show the pattern matcher's work: obrin_patterns lists every pattern that fits
// the current position, obrin_assoc the goal associations its handlers make; GoGui is offered
// both, the anchors as labels and the associated points as a point list.
#pragma once

namespace obrin {

class TGtpEngine;

void RegisterPatternCommands(TGtpEngine& gtp);

}  // namespace obrin
