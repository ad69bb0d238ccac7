#include "patterns/handlers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <utility>

#include "analysis/graph.h"
#include "patterns/pattern_context.h"
#include "patterns/muster.h"
#include "tactics/treppe.h"

namespace obrin {

namespace {

struct TPrefixInfo {
    const char* Text;
    int Expected;
};
constexpr std::array<TPrefixInfo, AssocPrefixCount> PrefixInfo{{
    {"KETTE-RETTEN ", 61},
    {"KETTE-FANGEN ", 40},
    {"KETTE-EINSCHLIESSEN ", 25},
    {"ANBINDEN ", 33},
    {"ABSCHNEIDEN ", 26},
    {"FORMZUG ", 53},
    {"FLUCHTZUG ", 2},
    {"TREPPE-VERHINDERN ", 2},
}};

// The numbers with a handler, as ranges.
constexpr std::pair<int, int> HandlerRanges[] = {
    {2, 3},     {5, 6},     {10, 11},   {13, 16},   {19, 19},   {21, 23},   {26, 26},   {28, 32},
    {35, 35},   {37, 38},   {41, 41},   {43, 43},   {46, 46},   {51, 51},   {59, 60},   {68, 68},
    {70, 72},   {83, 83},   {87, 87},   {91, 92},   {97, 111},  {113, 141}, {144, 147}, {149, 151},
    {153, 156}, {158, 158}, {167, 168}, {176, 177}, {179, 185}, {190, 195}, {198, 198}, {200, 224},
    {226, 227}, {229, 234}, {236, 237}, {239, 240}, {245, 245}, {248, 253}, {256, 257}, {260, 260},
    {262, 276}, {278, 280}, {283, 283}, {286, 291}, {296, 297}, {300, 300}, {303, 303}, {306, 308},
    {313, 313}, {318, 319}, {322, 322}, {329, 330}, {332, 363},
};

using K = TActionKind;
using P = TAssocPrefix;
using G = TActionGuard;

constexpr TPatternAction Assoc(int n, P prefix, int chainCell, int moveCell) {
    return {static_cast<int16_t>(n), K::Associate, prefix, static_cast<int8_t>(chainCell),
            static_cast<int8_t>(moveCell)};
}
constexpr TPatternAction AssocIf(int n, P prefix, int chainCell, int moveCell, G guard, int g1 = 0,
                                 int g2 = 0) {
    return {static_cast<int16_t>(n),
            K::Associate,
            prefix,
            static_cast<int8_t>(chainCell),
            static_cast<int8_t>(moveCell),
            guard,
            static_cast<int8_t>(g1),
            static_cast<int8_t>(g2)};
}
constexpr TPatternAction Act(int n, K kind, int i, int j) {
    return {static_cast<int16_t>(n), kind, P::KetteRetten, static_cast<int8_t>(i),
            static_cast<int8_t>(j)};
}
constexpr TPatternAction MarkS(int n, int cell) {
    return Act(n, K::ConnectPlus, -1, cell);
}
constexpr TPatternAction MarkW(int n, int cell) {
    return Act(n, K::ConnectMinus, -1, cell);
}

// One row per action, ordered by pattern number. The shape each number stands for is described
// above its records in "muster.txt".
constexpr TPatternAction Actions[] = {
    Act(2, K::Enemies, 0, 2),
    Assoc(3, P::KetteRetten, 5, 10),
    MarkS(5, 0),
    MarkS(5, 1),
    MarkS(5, 2),
    MarkS(5, 3),
    MarkW(6, 0),
    MarkW(6, 1),
    MarkW(6, 2),
    MarkW(6, 3),
    Assoc(10, P::KetteRetten, 4, 7),
    Assoc(10, P::Formzug, 4, 1),
    Assoc(11, P::Fluchtzug, 0, 14),
    Assoc(11, P::KetteRetten, 0, 14),
    Assoc(13, P::Fluchtzug, 0, 2),
    Act(13, K::Enemies, 0, 10),
    Assoc(13, P::KetteRetten, 0, 2),
    Act(14, K::Enemies, 0, 1),
    Assoc(15, P::KetteFangen, 0, 8),
    Assoc(15, P::KetteEinschliessen, 0, 8),
    Assoc(16, P::KetteFangen, 0, 1),
    Assoc(19, P::KetteFangen, 0, 1),
    Assoc(21, P::KetteFangen, 0, 10),
    Assoc(22, P::KetteFangen, 0, 5),
    Assoc(23, P::KetteEinschliessen, 0, 7),
    Assoc(23, P::KetteFangen, 0, 7),
    Assoc(26, P::KetteRetten, 6, 1),
    Assoc(26, P::KetteFangen, 0, 1),
    AssocIf(28, P::Abschneiden, 1, 0, G::DifferentChains, 1, 3),
    AssocIf(28, P::Abschneiden, 3, 0, G::DifferentChains, 1, 3),
    Assoc(29, P::Anbinden, 1, 0),
    Assoc(29, P::Anbinden, 3, 0),
    Assoc(30, P::Anbinden, 6, 0),
    Assoc(30, P::Anbinden, 8, 0),
    Assoc(30, P::KetteEinschliessen, 7, 0),
    Assoc(31, P::Anbinden, 1, 0),
    Assoc(31, P::Anbinden, 5, 0),
    AssocIf(32, P::Abschneiden, 1, 0, G::DifferentChains, 1, 5),
    AssocIf(32, P::Abschneiden, 5, 0, G::DifferentChains, 1, 5),
    Assoc(35, P::Formzug, 0, 2),
    Assoc(35, P::KetteEinschliessen, 3, 2),
    Assoc(37, P::KetteRetten, 0, 1),
    Assoc(37, P::Formzug, 0, 1),
    Assoc(38, P::KetteRetten, 0, 10),
    Assoc(38, P::Formzug, 0, 10),
    Assoc(41, P::KetteRetten, 0, 10),
    Assoc(41, P::KetteFangen, 1, 10),
    Assoc(43, P::KetteRetten, 0, 5),
    Assoc(43, P::Anbinden, 0, 5),
    Assoc(46, P::KetteRetten, 0, 1),
    Assoc(46, P::Formzug, 0, 1),
    Assoc(51, P::KetteRetten, 0, 2),
    Assoc(51, P::KetteFangen, 3, 2),
    Assoc(59, P::KetteRetten, 0, 7),
    Assoc(59, P::Anbinden, 0, 7),
    Assoc(60, P::KetteRetten, 0, 1),
    Act(68, K::ShortRouteByStatus, 2, 5),
    Assoc(68, P::Anbinden, 2, 0),
    Assoc(68, P::Anbinden, 2, 3),
    Assoc(70, P::KetteFangen, 0, 5),
    Assoc(70, P::Anbinden, 7, 5),
    Assoc(70, P::Anbinden, 3, 5),
    Assoc(71, P::Formzug, 0, 2),
    Assoc(71, P::KetteEinschliessen, 3, 2),
    Assoc(72, P::KetteFangen, 0, 1),
    Assoc(83, P::KetteFangen, 0, 1),
    Assoc(87, P::KetteFangen, 0, 3),
    Assoc(87, P::KetteEinschliessen, 0, 3),
    Assoc(87, P::KetteEinschliessen, 0, 1),
    Assoc(91, P::KetteFangen, 0, 10),
    Assoc(91, P::KetteEinschliessen, 0, 10),
    Assoc(92, P::KetteFangen, 0, 3),
    MarkW(97, 1),
    MarkW(97, 2),
    MarkW(97, 8),
    MarkW(97, 9),
    MarkW(97, 10),
    MarkW(97, 11),
    MarkS(98, 1),
    MarkS(98, 2),
    MarkS(98, 8),
    MarkS(98, 9),
    MarkS(98, 10),
    MarkS(98, 11),
    MarkS(99, 0),
    MarkW(100, 0),
    MarkS(101, 3),
    Act(101, K::SafeByConnection, 0, 2),
    MarkW(102, 3),
    Act(102, K::SafeByConnection, 0, 2),
    Act(103, K::EyeCandidate, 8, 0),
    Act(104, K::EyeCandidate, 8, 0),
    MarkS(105, 0),
    MarkW(106, 0),
    MarkS(107, 7),
    MarkS(107, 0),
    MarkW(108, 7),
    MarkW(108, 0),
    Act(109, K::EyeCandidate, 8, 0),
    Act(110, K::EyeCandidate, 8, 0),
    Act(111, K::EyeCandidate, 8, 0),
    Act(113, K::EyeCandidate, 8, 0),
    Act(114, K::EyeCandidate, 8, 0),
    Act(115, K::EyeCandidate, 8, 0),
    Act(116, K::EyeCandidate, 8, 0),
    Act(117, K::EyeCandidate, 8, 0),
    Act(118, K::EyeCandidate, 5, 0),
    Act(118, K::EyeCandidate, 5, 1),
    Act(119, K::EyeCandidate, 5, 0),
    Act(119, K::EyeCandidate, 5, 1),
    MarkS(120, 0),
    MarkW(121, 0),
    MarkS(122, 0),
    MarkS(122, 1),
    MarkW(123, 0),
    MarkW(123, 1),
    MarkS(124, 0),
    MarkW(125, 0),
    Act(126, K::ShortRouteByStatus, 1, 5),
    Act(126, K::SafeByConnection, 1, 5),
    Act(126, K::SafeByConnection, 5, 1),
    Act(127, K::ShortRouteByStatus, 1, 5),
    Act(127, K::SafeByConnection, 1, 5),
    Act(127, K::SafeByConnection, 5, 1),
    Act(128, K::ShortRouteByStatus, 2, 5),
    Act(128, K::SafeByConnection, 2, 5),
    Act(128, K::SafeByConnection, 5, 2),
    Act(129, K::ShortRouteByStatus, 2, 5),
    Act(129, K::SafeByConnection, 2, 5),
    Act(129, K::SafeByConnection, 5, 2),
    Assoc(130, P::Formzug, 0, 2),
    Assoc(130, P::KetteEinschliessen, 3, 2),
    Assoc(130, P::Formzug, 0, 7),
    Assoc(131, P::Formzug, 0, 5),
    Assoc(131, P::KetteRetten, 0, 5),
    Assoc(132, P::Formzug, 0, 11),
    Assoc(132, P::KetteEinschliessen, 2, 11),
    Assoc(133, P::KetteRetten, 0, 1),
    Assoc(133, P::Formzug, 0, 1),
    Act(134, K::ShortRouteIfDead, 0, 2),
    Act(134, K::SafeByConnection, 0, 2),
    MarkS(134, 3),
    Act(135, K::ShortRouteIfDead, 0, 2),
    Act(135, K::SafeByConnection, 0, 2),
    MarkW(135, 3),
    Assoc(136, P::Formzug, 0, 8),
    Assoc(136, P::KetteRetten, 0, 8),
    Assoc(137, P::Formzug, 0, 7),
    Assoc(137, P::KetteRetten, 0, 7),
    Assoc(138, P::Formzug, 0, 8),
    Assoc(138, P::KetteEinschliessen, 1, 8),
    Assoc(138, P::Formzug, 0, 7),
    Assoc(138, P::KetteRetten, 0, 7),
    Assoc(139, P::Formzug, 7, 8),
    Assoc(139, P::KetteRetten, 7, 8),
    Assoc(140, P::Formzug, 0, 1),
    Assoc(140, P::KetteRetten, 0, 1),
    AssocIf(140, P::Abschneiden, 7, 1, G::DifferentChains, 7, 3),
    Assoc(141, P::Formzug, 0, 1),
    Assoc(144, P::Anbinden, 8, 0),
    Assoc(144, P::KetteRetten, 6, 0),
    Assoc(145, P::Anbinden, 2, 0),
    Assoc(145, P::KetteRetten, 5, 0),
    AssocIf(146, P::Abschneiden, 2, 0, G::DifferentChains, 2, 5),
    AssocIf(146, P::Abschneiden, 5, 0, G::DifferentChains, 2, 5),
    Assoc(147, P::Anbinden, 7, 0),
    Assoc(147, P::Anbinden, 3, 0),
    Assoc(149, P::Anbinden, 7, 0),
    Assoc(149, P::KetteRetten, 5, 0),
    Assoc(150, P::Anbinden, 1, 7),
    Assoc(150, P::Anbinden, 5, 7),
    AssocIf(151, P::Abschneiden, 7, 0, G::DifferentChains, 7, 5),
    AssocIf(151, P::Abschneiden, 5, 0, G::DifferentChains, 7, 5),
    AssocIf(153, P::Abschneiden, 1, 0, G::DifferentGroups, 1, 3),
    AssocIf(153, P::Abschneiden, 3, 0, G::DifferentGroups, 1, 3),
    Assoc(154, P::Anbinden, 1, 0),
    Assoc(154, P::KetteRetten, 3, 0),
    Act(155, K::EyeCandidate, 8, 0),
    Act(155, K::EyeCandidate, 8, 3),
    AssocIf(156, P::Abschneiden, 7, 0, G::DifferentChains, 7, 3),
    AssocIf(156, P::Abschneiden, 3, 0, G::DifferentChains, 7, 3),
    Assoc(158, P::Anbinden, 1, 0),
    Assoc(158, P::Anbinden, 5, 0),
    Assoc(158, P::KetteEinschliessen, 7, 0),
    Assoc(167, P::Anbinden, 3, 0),
    Assoc(167, P::Anbinden, 6, 0),
    AssocIf(168, P::Abschneiden, 3, 0, G::DifferentChains, 3, 6),
    AssocIf(168, P::Abschneiden, 6, 0, G::DifferentChains, 3, 6),
    Assoc(176, P::Anbinden, 10, 1),
    Assoc(176, P::Anbinden, 5, 0),
    AssocIf(177, P::Abschneiden, 10, 0, G::DifferentChains, 10, 5),
    AssocIf(177, P::Abschneiden, 5, 0, G::DifferentChains, 10, 5),
    AssocIf(179, P::Abschneiden, 1, 0, G::DifferentChains, 1, 3),
    AssocIf(179, P::Abschneiden, 3, 0, G::DifferentChains, 1, 3),
    Assoc(180, P::Anbinden, 1, 0),
    Assoc(180, P::KetteRetten, 6, 0),
    Assoc(181, P::Anbinden, 1, 3),
    Assoc(181, P::Anbinden, 5, 3),
    Assoc(181, P::KetteFangen, 0, 3),
    AssocIf(182, P::Abschneiden, 1, 0, G::DifferentChains, 1, 5),
    AssocIf(182, P::Abschneiden, 5, 0, G::DifferentChains, 1, 5),
    Act(183, K::EyeCandidate, 8, 0),
    Act(183, K::EyeCandidate, 8, 3),
    Assoc(184, P::Formzug, 0, 1),
    Act(185, K::EyeCandidate, 6, 0),
    Assoc(190, P::Anbinden, 1, 0),
    Assoc(190, P::KetteRetten, 7, 0),
    Assoc(191, P::Anbinden, 1, 0),
    Assoc(191, P::Anbinden, 3, 0),
    Act(192, K::EyeCandidate, 6, 0),
    Assoc(193, P::Anbinden, 1, 0),
    Assoc(193, P::KetteRetten, 7, 0),
    AssocIf(194, P::Abschneiden, 8, 1, G::DifferentChains, 8, 14),
    AssocIf(194, P::Abschneiden, 14, 1, G::DifferentChains, 8, 14),
    Act(195, K::EyeCandidate, 6, 0),
    Act(198, K::EyeCandidate, 6, 0),
    Assoc(200, P::Formzug, 0, 2),
    Assoc(201, P::Formzug, 0, 1),
    Assoc(201, P::KetteRetten, 0, 1),
    Act(202, K::EyeCandidate, 1, 0),
    Assoc(203, P::Formzug, 0, 10),
    Assoc(204, P::Formzug, 0, 5),
    Assoc(204, P::KetteRetten, 0, 5),
    Assoc(205, P::Formzug, 0, 3),
    Assoc(205, P::KetteEinschliessen, 2, 3),
    Assoc(206, P::Formzug, 0, 1),
    Assoc(206, P::Formzug, 0, 2),
    Assoc(207, P::Formzug, 0, 2),
    Assoc(207, P::Formzug, 0, 3),
    Assoc(208, P::Formzug, 0, 14),
    Assoc(209, P::Formzug, 0, 22),
    Assoc(209, P::Formzug, 0, 6),
    Assoc(210, P::Formzug, 0, 2),
    Assoc(210, P::KetteEinschliessen, 3, 2),
    Act(211, K::EyeCandidate, 1, 0),
    Act(212, K::EyeCandidate, 8, 0),
    Act(212, K::EyeCandidate, 8, 3),
    Assoc(213, P::Formzug, 0, 3),
    Assoc(213, P::KetteEinschliessen, 5, 3),
    Assoc(214, P::Formzug, 0, 2),
    Assoc(214, P::KetteRetten, 0, 2),
    Assoc(215, P::Formzug, 0, 10),
    Assoc(215, P::KetteRetten, 0, 10),
    Assoc(216, P::Formzug, 0, 14),
    Assoc(216, P::KetteRetten, 0, 14),
    Assoc(217, P::Formzug, 0, 11),
    Assoc(218, P::Formzug, 0, 5),
    Assoc(219, P::Formzug, 0, 14),
    Assoc(220, P::Formzug, 0, 1),
    MarkS(221, 1),
    MarkS(221, 0),
    Act(221, K::SafeByConnection, 8, 2),
    MarkW(222, 1),
    MarkW(222, 0),
    Act(222, K::SafeByConnection, 8, 2),
    Act(223, K::ShortRouteByStatus, 7, 3),
    Act(223, K::SafeByConnection, 7, 3),
    Act(223, K::SafeByConnection, 3, 7),
    Act(224, K::ShortRouteByStatus, 7, 3),
    Act(224, K::SafeByConnection, 7, 3),
    Act(224, K::SafeByConnection, 3, 7),
    Act(226, K::EyeCandidate, 8, 0),
    Act(226, K::EyeCandidate, 8, 3),
    Act(227, K::EyeCandidate, 6, 0),
    Act(229, K::EyeCandidate, 6, 0),
    Act(230, K::EyeCandidate, 6, 0),
    Act(230, K::EyeCandidate, 6, 1),
    Act(230, K::EyeCandidate, 6, 2),
    Act(230, K::EyeCandidate, 6, 3),
    Act(231, K::EyeCandidate, 6, 0),
    Act(231, K::EyeCandidate, 6, 1),
    Act(231, K::EyeCandidate, 6, 2),
    Act(231, K::EyeCandidate, 6, 3),
    Act(232, K::Enemies, 0, 10),
    Act(233, K::Enemies, 0, 11),
    Act(234, K::Enemies, 0, 13),
    Act(236, K::Enemies, 0, 27),
    Act(237, K::Enemies, 0, 12),
    Act(239, K::ShortRouteByStatus, 14, 6),
    Act(239, K::SafeByConnection, 14, 6),
    Act(239, K::SafeByConnection, 6, 14),
    Act(240, K::ShortRouteByStatus, 14, 6),
    Act(240, K::SafeByConnection, 14, 6),
    Act(240, K::SafeByConnection, 6, 14),
    Assoc(245, P::KetteRetten, 0, 1),
    Assoc(245, P::Formzug, 0, 1),
    Assoc(248, P::KetteRetten, 0, 7),
    Assoc(248, P::Formzug, 0, 7),
    Assoc(249, P::KetteRetten, 0, 1),
    Assoc(250, P::KetteRetten, 0, 1),
    Assoc(251, P::KetteRetten, 0, 1),
    Assoc(251, P::Formzug, 0, 1),
    Assoc(252, P::KetteRetten, 0, 1),
    Assoc(252, P::Formzug, 0, 1),
    Assoc(253, P::KetteRetten, 0, 1),
    Assoc(253, P::Formzug, 0, 1),
    Assoc(256, P::KetteRetten, 0, 1),
    Assoc(257, P::KetteRetten, 0, 3),
    Assoc(260, P::KetteRetten, 0, 1),
    Assoc(262, P::KetteRetten, 0, 1),
    Assoc(262, P::Formzug, 0, 1),
    Assoc(263, P::KetteRetten, 0, 1),
    Assoc(263, P::Formzug, 0, 1),
    Assoc(264, P::KetteRetten, 0, 14),
    Assoc(264, P::KetteFangen, 3, 14),
    Assoc(265, P::KetteRetten, 0, 10),
    Assoc(265, P::KetteFangen, 1, 10),
    Assoc(266, P::KetteRetten, 0, 4),
    Assoc(266, P::KetteFangen, 3, 4),
    Assoc(267, P::KetteRetten, 0, 5),
    Assoc(268, P::KetteRetten, 0, 3),
    Assoc(268, P::Formzug, 0, 3),
    Assoc(269, P::KetteRetten, 0, 3),
    Assoc(269, P::KetteFangen, 4, 3),
    Assoc(270, P::KetteRetten, 0, 1),
    Assoc(270, P::Formzug, 0, 1),
    Assoc(271, P::KetteRetten, 0, 1),
    Assoc(272, P::KetteRetten, 0, 1),
    Assoc(273, P::KetteRetten, 0, 7),
    Assoc(273, P::Formzug, 0, 7),
    Assoc(274, P::KetteRetten, 0, 2),
    Assoc(274, P::Formzug, 0, 2),
    Assoc(275, P::KetteRetten, 0, 14),
    Assoc(276, P::KetteRetten, 0, 1),
    Assoc(276, P::Formzug, 0, 1),
    Assoc(278, P::KetteRetten, 0, 2),
    Assoc(278, P::KetteFangen, 1, 2),
    Assoc(279, P::KetteRetten, 0, 1),
    Assoc(280, P::KetteRetten, 0, 1),
    Assoc(283, P::KetteFangen, 0, 10),
    Assoc(286, P::KetteFangen, 0, 5),
    Assoc(287, P::KetteFangen, 0, 14),
    Assoc(288, P::KetteEinschliessen, 0, 3),
    Assoc(288, P::KetteFangen, 0, 3),
    Assoc(289, P::KetteEinschliessen, 0, 10),
    Assoc(290, P::KetteFangen, 0, 1),
    Assoc(291, P::KetteFangen, 0, 1),
    Assoc(296, P::KetteFangen, 0, 2),
    Assoc(296, P::KetteEinschliessen, 0, 2),
    Assoc(297, P::KetteEinschliessen, 0, 7),
    Assoc(300, P::KetteFangen, 0, 3),
    Assoc(303, P::KetteFangen, 0, 2),
    Assoc(306, P::KetteEinschliessen, 0, 10),
    Assoc(306, P::KetteFangen, 1, 10),
    Assoc(307, P::KetteEinschliessen, 0, 3),
    Assoc(308, P::KetteFangen, 0, 3),
    Assoc(313, P::KetteFangen, 0, 3),
    Assoc(318, P::KetteFangen, 0, 5),
    Assoc(319, P::KetteFangen, 0, 18),
    Assoc(322, P::KetteEinschliessen, 0, 1),
    Assoc(329, P::KetteFangen, 0, 3),
    Assoc(330, P::KetteFangen, 0, 14),
    Assoc(332, P::KetteFangen, 0, 3),
    Assoc(333, P::KetteFangen, 0, 5),
    Assoc(334, P::KetteEinschliessen, 0, 3),
    Assoc(335, P::KetteEinschliessen, 0, 11),
    Assoc(336, P::KetteEinschliessen, 0, 1),
    AssocIf(337, P::Abschneiden, 7, 0, G::DifferentChains, 7, 3),
    Assoc(338, P::KetteFangen, 0, 7),
    Act(339, K::ShortRouteByStatus, 10, 5),
    Act(339, K::SafeByConnection, 10, 5),
    Act(339, K::SafeByConnection, 5, 10),
    Act(340, K::ShortRouteByStatus, 10, 5),
    Act(340, K::SafeByConnection, 10, 5),
    Act(340, K::SafeByConnection, 5, 10),
    Act(341, K::ShortRouteByStatus, 2, 6),
    Act(341, K::SafeByConnection, 2, 6),
    Act(341, K::SafeByConnection, 6, 2),
    Act(342, K::ShortRouteByStatus, 2, 6),
    Act(342, K::SafeByConnection, 2, 6),
    Act(342, K::SafeByConnection, 6, 2),
    Act(343, K::EyeCandidate, 1, 0),
    AssocIf(343, P::Abschneiden, 1, 3, G::DifferentGroups, 1, 4),
    AssocIf(343, P::Abschneiden, 4, 3, G::DifferentGroups, 1, 4),
    Act(344, K::EyeCandidate, 9, 0),
    Act(344, K::EyeCandidate, 9, 1),
    Act(345, K::EyeCandidate, 9, 0),
    Act(345, K::EyeCandidate, 9, 1),
    Act(346, K::EyeCandidate, 23, 0),
    Act(347, K::EyeCandidate, 23, 0),
    Act(348, K::EyeCandidate, 8, 0),
    Act(348, K::EyeCandidate, 8, 14),
    Act(349, K::EyeCandidate, 8, 0),
    Act(349, K::EyeCandidate, 8, 14),
    Act(350, K::EyeCandidate, 9, 0),
    Act(351, K::EyeCandidate, 9, 0),
    Act(352, K::ShortRouteByStatus, 0, 15),
    Act(352, K::SafeByConnection, 0, 15),
    Act(352, K::SafeByConnection, 15, 0),
    Act(353, K::ShortRouteByStatus, 0, 15),
    Act(353, K::SafeByConnection, 0, 15),
    Act(353, K::SafeByConnection, 15, 0),
    Act(354, K::EyeCandidate, 22, 0),
    Assoc(355, P::Formzug, 7, 3),
    Assoc(355, P::KetteRetten, 7, 3),
    Act(356, K::EyeCandidate, 22, 0),
    Act(357, K::EyeCandidate, 21, 0),
    Act(358, K::EyeCandidate, 21, 0),
    AssocIf(359, P::TreppeVerhindern, 0, 2, G::NoLadderAfterMoveAtJ),
    AssocIf(359, P::TreppeVerhindern, 0, 3, G::NoLadderAfterMoveAtJ),
    Act(360, K::EyeCandidate, 19, 0),
    Act(361, K::EyeCandidate, 19, 0),
    Act(362, K::Enemies, 8, 2),
    Act(363, K::Enemies, 8, 2),
};

std::vector<int> MakeHandlerNumbers() {
    std::vector<int> numbers;
    for (const auto& [first, last] : HandlerRanges)
        for (int n = first; n <= last; ++n) numbers.push_back(n);
    return numbers;
}

// The cells of an action that name a chain, so must hold a stone; -1 for none.
std::array<int, 3> ChainCells(const TPatternAction& a) {
    std::array<int, 3> cells{-1, -1, -1};
    if (a.Kind == K::Associate) cells[0] = a.I;
    if (a.Guard == G::DifferentChains || a.Guard == G::DifferentGroups) {
        cells[1] = a.G1;
        cells[2] = a.G2;
    }
    return cells;
}

// Every cell an action reads.
std::array<int, 4> ReadCells(const TPatternAction& a) {
    const bool twoGroups = a.Kind != K::ConnectPlus && a.Kind != K::ConnectMinus;
    const bool guarded = a.Guard == G::DifferentChains || a.Guard == G::DifferentGroups;
    return {twoGroups ? a.I : -1, a.J, guarded ? a.G1 : -1, guarded ? a.G2 : -1};
}

}  // namespace

const char* AssocPrefixText(TAssocPrefix prefix) {
    return PrefixInfo[static_cast<size_t>(prefix)].Text;
}

int ExpectedAssociations(TAssocPrefix prefix) {
    return PrefixInfo[static_cast<size_t>(prefix)].Expected;
}

const std::vector<int>& HandlerNumbers() {
    static const std::vector<int> numbers = MakeHandlerNumbers();
    return numbers;
}

bool HasHandler(int number) {
    return std::binary_search(HandlerNumbers().begin(), HandlerNumbers().end(), number);
}

std::span<const TPatternAction> PatternActions() {
    return Actions;
}

std::string CheckRecordAgainstHandler(int number, const std::vector<uint8_t>& cells) {
    const auto size = static_cast<int>(cells.size());
    for (const TPatternAction& a : PatternActions()) {
        if (a.Number != number) continue;
        for (const int c : ReadCells(a))
            if (c >= size)
                return "its handler reads cell " + std::to_string(c) + ", the record has " +
                       std::to_string(size) + " cells";
        for (const int c : ChainCells(a))
            if (c >= 0 && cells[c] != csPlus && cells[c] != csMinus)
                return "its handler reads a chain at cell " + std::to_string(c) +
                       ", which holds no stone";
        if (a.Kind == K::Associate && cells[a.J] != csEmpty)
            return "its handler suggests a move at cell " + std::to_string(a.J) +
                   ", which is not empty";
    }
    return {};
}

namespace {

// Where each number's rows begin and end in the action table.
struct TActionRange {
    uint16_t First = 0, Last = 0;
};
std::array<TActionRange, PatternNumberMax + 1> MakeActionRanges() {
    std::array<TActionRange, PatternNumberMax + 1> ranges{};
    const auto actions = PatternActions();
    for (size_t i = 0; i < actions.size(); ++i) {
        TActionRange& r = ranges[actions[i].Number];
        if (r.First == r.Last) r.First = static_cast<uint16_t>(i);
        r.Last = static_cast<uint16_t>(i + 1);
    }
    return ranges;
}

std::span<const TPatternAction> ActionsOf(int number) {
    static const auto ranges = MakeActionRanges();
    const TActionRange r = ranges[number];
    return PatternActions().subspan(r.First, r.Last - r.First);
}

// One firing of a pattern: its cells on the board and what they hold.
class TFiring {
  public:
    TFiring(TPatternContext& context, int anchor, int symmetry)
        : m_context(context), m_anchor(anchor), m_symmetry(symmetry) {}

    [[nodiscard]] int Point(int cell) const { return CellPoint(m_anchor, m_symmetry, cell); }
    [[nodiscard]] int Chain(int cell) const { return m_context.Fields.Namensfeld[Point(cell)]; }
    [[nodiscard]] TGoGroup* Group(int cell) const {
        return m_context.Graph->GroupAtPoint(Point(cell));
    }
    // Every cell the action reads lies on the board.
    [[nodiscard]] bool OnBoard(const TPatternAction& a) const {
        for (const int c : ReadCells(a))
            if (c >= 0 && Point(c) < 0) return false;
        return true;
    }
    [[nodiscard]] bool GuardHolds(const TPatternAction& a) const;
    void Run(int number, const TPatternAction& a) const;

  private:
    void Associate(int number, const TPatternAction& a) const;
    void ShortRouteIfDead(TGoGroup* dead, const TGoGroup* other) const;

    TPatternContext& m_context;
    int m_anchor;
    int m_symmetry;
};

bool TFiring::GuardHolds(const TPatternAction& a) const {
    TPatternContext& e = m_context;
    const TBoardFields& f = e.Fields;
    switch (a.Guard) {
        case G::None:
            return true;
        case G::NoLadderAfterMoveAtJ: {
            const int n = Chain(a.I), j = Point(a.J);
            return LadderAfterMove(e.Reader, PointColumn(n), PointRow(n), PointColumn(j), PointRow(j), 1,
                                   f.Spielfeld, f.KoX, f.KoY) < 0;
        }
        case G::DifferentChains:
            return Chain(a.G1) != Chain(a.G2);
        case G::DifferentGroups:
            return e.Graph->FindChain(Chain(a.G1)).Group != e.Graph->FindChain(Chain(a.G2)).Group;
    }
    return false;
}

// A dead group beside an attackable or safe one is not cut off from it: it has a short way out.
void TFiring::ShortRouteIfDead(TGoGroup* dead, const TGoGroup* other) const {
    if (dead->Status == StatusDead && other->Status > StatusSaveable) dead->ShortRoute = true;
}

void TFiring::Associate(int number, const TPatternAction& a) const {
    // The goal name is built on the stack: handlers run inside the matching loop.
    char name[48];
    const char* prefix = AssocPrefixText(a.Prefix);
    const size_t length = std::strlen(prefix);
    std::memcpy(name, prefix, length);
    const auto [end, ec] = std::to_chars(name + length, name + sizeof name, Chain(a.I));
    m_context.GoalAssociation.AddEntry(number, std::string_view(name, end - name), Point(a.J));
}

void TFiring::Run(int number, const TPatternAction& a) const {
    TPatternContext& e = m_context;
    switch (a.Kind) {
        case K::Associate:
            Associate(number, a);
            return;
        case K::ConnectPlus:
            e.Fields.SVerbunden[Point(a.J)] = 1;
            return;
        case K::ConnectMinus:
            e.Fields.WVerbunden[Point(a.J)] = 1;
            return;
        default:
            break;
    }
    TGoGroup* g1 = Group(a.I);
    TGoGroup* g2 = Group(a.J);
    if (a.Kind == K::EyeCandidate) {
        if (g1 != nullptr) TGoGraph::AddEyeCandidate(*g1, Point(a.J));
        return;
    }
    if (g1 == nullptr || g2 == nullptr) return;
    switch (a.Kind) {
        case K::Enemies:
            e.Graph->AddEnemies(*g1, *g2);
            break;
        case K::ShortRouteByStatus:
            ShortRouteIfDead(g1, g2);
            ShortRouteIfDead(g2, g1);
            break;
        case K::ShortRouteIfDead:
            ShortRouteIfDead(g1, g2);
            break;
        case K::SafeByConnection:
            if (g1->Status == StatusSafe) g2->Status = StatusSafe;
            break;
        default:
            break;
    }
}

// The handler of every number: its rows of the action table in order. A row that reads a cell
// off the board is skipped; the record check keeps such cells out of the shipped library, but a
// library read without it may have them.
void RunPatternHandler(TPatternContext& context, int number, int anchor, int symmetry) {
    const TFiring firing(context, anchor, symmetry);
    for (const TPatternAction& a : ActionsOf(number))
        if (firing.OnBoard(a) && firing.GuardHolds(a)) firing.Run(number, a);
}

}  // namespace

void RegisterPatternHandlers(TPatterns& patterns) {
    patterns.RecordCheck = CheckRecordAgainstHandler;
    for (const int number : HandlerNumbers()) patterns.Handlers.Register(number, RunPatternHandler);
}

}  // namespace obrin
