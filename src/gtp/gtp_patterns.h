// GTP commands that show the pattern matcher's work: obrin_patterns lists every pattern that fits
// the current position, and GoGui is offered it and the anchors as labels on the board.
#pragma once

namespace obrin {

class TGtpEngine;

void RegisterPatternCommands(TGtpEngine& gtp);

}  // namespace obrin
