// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Numbers of the resources, controls and commands of Meridal. Resource files, layouts and
// the code all use these; a number here never changes, since layouts and menus name them.
namespace meridal::res {

// Resource types.
inline constexpr unsigned typeCursor = 1;
inline constexpr unsigned typeBitmap = 2;
inline constexpr unsigned typeMenu = 4;
inline constexpr unsigned typeDialog = 5;
inline constexpr unsigned typeString = 6;
inline constexpr unsigned typeIcon = 14;
inline constexpr unsigned typeHtml = 23;

// Dialog layouts.
inline constexpr unsigned dialogAbout = 100;
inline constexpr unsigned dialogConverter = 102;
inline constexpr unsigned dialogUnitEdit = 137;

// Menus: the converter window's menu bar, and the popups (first submenu of each).
inline constexpr unsigned menuConverterBar = 128;
inline constexpr unsigned menuDimension = 129;
inline constexpr unsigned menuUnit = 134;
inline constexpr unsigned menuLog = 191;

// Pictures.
inline constexpr unsigned iconMain = 169;
inline constexpr unsigned bitmapBanner = 157;
inline constexpr unsigned bitmapBannerHot = 172;
inline constexpr unsigned bitmapAddLog = 183;
inline constexpr unsigned bitmapDeleteLog = 184;
inline constexpr unsigned bitmapClearLog = 185;
inline constexpr unsigned bitmapRestoreLog = 186;
inline constexpr unsigned cursorBanner = 179;

// The default catalogue text (type typeHtml).
inline constexpr unsigned htmlDefaultCatalogue = 170;

// Strings.
inline constexpr unsigned strDefaultFactor = 200;
inline constexpr unsigned strDefaultOffset = 201;
inline constexpr unsigned strEditFontFace = 202;
inline constexpr unsigned strEditCaptionFirst = 203; // 203 to 206: edit dialog captions
inline constexpr unsigned strEditCaptionLast = 206;
inline constexpr unsigned strEditFieldEmpty = 207;
inline constexpr unsigned strErrorCaption = 208;
inline constexpr unsigned strAboutFontFirst = 209; // 209 to 214: About box font faces
inline constexpr unsigned strAboutFontLast = 214;
inline constexpr unsigned strDefaultInput = 215;
inline constexpr unsigned strLogReadOnly = 216;
inline constexpr unsigned strWarningCaption = 217;
inline constexpr unsigned strCatalogueReadOnly = 218;
inline constexpr unsigned strUnitWithoutLabel = 219;
inline constexpr unsigned strDimensionMessage1 = 221;
inline constexpr unsigned strDimensionMessage2 = 222;
inline constexpr unsigned strConfirmDeleteDimension = 223; // one %s: the dimension label
inline constexpr unsigned strConfirmCaption = 224;
inline constexpr unsigned strUnitMessage1 = 225;
inline constexpr unsigned strUnitMessage2 = 226;
inline constexpr unsigned strConfirmDeleteUnit = 227; // one %s: the unit label
inline constexpr unsigned strLogMissing = 228;
inline constexpr unsigned strCatalogueMissing = 229;
inline constexpr unsigned strCalculatorStarted = 230;
inline constexpr unsigned strCannotOpenTarget = 231; // one %s: the target
inline constexpr unsigned strClearLogQuestion = 232;
inline constexpr unsigned strClearLogCaption = 233;
inline constexpr unsigned strReaderExpectedTag = 234;
inline constexpr unsigned strReaderExpectedTagEnd = 236;
inline constexpr unsigned strReaderBadDimensionAttribute = 237;
inline constexpr unsigned strReaderBadUnitAttribute = 238;
inline constexpr unsigned strReaderExpectedSlash = 239;
inline constexpr unsigned strReaderBadConfigAttribute = 240;
inline constexpr unsigned strReaderUnknownElement = 241;
inline constexpr unsigned strAllUnits = 242;
inline constexpr unsigned strTargetFirst = 243; // 243 to 248: shell targets
inline constexpr unsigned strTargetLast = 248;
// Meridal's own messages beyond the ones above.
inline constexpr unsigned strDimensionWithoutLabel = 249;
inline constexpr unsigned strUnitBeforeDimension = 250;
inline constexpr unsigned strCatalogueSaveFailed = 251; // one %s: the reason
inline constexpr unsigned strCatalogueNotSavedUnreadable = 252;
inline constexpr unsigned strLogUnreadable = 253; // one %s: the reason
inline constexpr unsigned strLogNotSavedUnreadable = 254;
inline constexpr unsigned strLogSaveFailed = 255; // one %s: the reason
inline constexpr unsigned strAboutCopyright = 261;
inline constexpr unsigned strCatalogueUnreadable = 270; // one %s: why, "it is a folder, not a regular file"
inline constexpr unsigned strCatalogueTooLarge = 271;
inline constexpr unsigned strCatalogueNotCreated = 286;
inline constexpr unsigned strCatalogueChangedNoLongerLoads = 287;
inline constexpr unsigned strCatalogueChangedReplace = 288; // Yes replaces, No keeps the file
inline constexpr unsigned strLogChangedReplace = 289;       // Yes replaces, No keeps the file
inline constexpr unsigned strLogNotCreated = 312;           // one %s: the reason
// Input that the edit dialog refuses; each %s is the label, character or number concerned.
inline constexpr unsigned strDimensionLabelInUse = 290; // one %s
inline constexpr unsigned strUnitLabelInUse = 291;      // one %s
inline constexpr unsigned strLabelIsAllUnits = 292;     // one %s
inline constexpr unsigned strLabelNotKeptByFile = 293;  // one %s
inline constexpr unsigned strCharacterNotKept = 294;    // one %s: "U+2713"
inline constexpr unsigned strFactorZero = 295;
inline constexpr unsigned strFactorUnreadable = 296; // one %s
inline constexpr unsigned strOffsetUnreadable = 297; // one %s
inline constexpr unsigned strLabelLineBreak = 310;
inline constexpr unsigned strFactorTooSmall = 311; // one %s
inline constexpr unsigned strTipFirst = 701;       // 701 to 706: tips; 700 + counter
inline constexpr unsigned strTipBase = 700;
inline constexpr unsigned strTipLast = 706;
inline constexpr unsigned strInvalidDate = 55296;

// Controls of the converter window.
inline constexpr int idDimensionList = 1048;
inline constexpr int idStartUnitList = 1005;
inline constexpr int idEndUnitList = 1006;
inline constexpr int idInput = 1013;
inline constexpr int idOutput = 1015;
inline constexpr int idStartCaption = 1019;
inline constexpr int idEndCaption = 1020;
inline constexpr int idTip = 1045;
inline constexpr int idNextTip = 1044;
inline constexpr int idLogList = 1050;
inline constexpr int idBanner = 1032;
inline constexpr int idRestoreLogButton = 1054;
inline constexpr int idAddLogButton = 1051;
inline constexpr int idDeleteLogButton = 1052;
inline constexpr int idClearLogButton = 1053;

// Controls of the edit dialog.
inline constexpr int idOk = 1;
inline constexpr int idCancel = 2;
inline constexpr int idEditDimension = 1021;
inline constexpr int idEditBaseUnit = 1022;
inline constexpr int idEditFactor = 1023;
inline constexpr int idEditUnit = 1024;
inline constexpr int idEditOffset = 1025;
inline constexpr int idEditNote = 1046;

// Commands.
inline constexpr int cmdExit = 139;
inline constexpr int cmdToggleNotation = 180;
inline constexpr int cmdAbout = 155;
inline constexpr int cmdCopy = 57634;  // 0xE122
inline constexpr int cmdPaste = 57637; // 0xE125
inline constexpr int cmdDeleteDimension = 130;
inline constexpr int cmdDeleteDimension2 = 145;
inline constexpr int cmdAddDimension = 131;
inline constexpr int cmdAddDimension2 = 144;
inline constexpr int cmdRelabelDimension = 161;
inline constexpr int cmdRelabelDimension2 = 162;
inline constexpr int cmdAddUnit = 135;
inline constexpr int cmdAddUnit2 = 146;
inline constexpr int cmdDeleteUnit = 136;
inline constexpr int cmdDeleteUnit2 = 147;
inline constexpr int cmdChangeUnit = 158;
inline constexpr int cmdChangeUnit2 = 163;
inline constexpr int cmdCopyLogEntry = 32773;
inline constexpr int cmdCalculator = 149;
inline constexpr int cmdTarget1 = 32772;
inline constexpr int cmdTarget2First = 32774; // 32774 to 32778
inline constexpr int cmdTarget2Last = 32778;

} // namespace meridal::res
