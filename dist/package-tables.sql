-- Finishing touches to the package that wixl cannot express; scripts/dist.sh
-- runs each statement line in order with msibuild, with @VERSION@ replaced
-- by the package's version (major.minor.build) and @UPGRADECODE@ by the
-- UpgradeCode of Brelvin.wxs. Lines starting with "--" are comments.
--
-- Every build of the package has a new ProductCode, so a package rebuilt
-- with the version already installed must take the installed one's place,
-- not install beside it as a second entry in Programs and Features that
-- owns the same files: the upgrade row finds older versions and the same
-- version (513 = migrate the feature states (1) + VersionMax inclusive
-- (512)); only a newer version is refused, by the downgrade row. wixl has
-- no setting for the inclusive bit, and a key column cannot be updated, so
-- the row is written again.
DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'
INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('@UPGRADECODE@', '@VERSION@', 513, 'WIX_UPGRADE_DETECTED')
-- The UpgradeCode property in the form of the Upgrade table, upper case, as
-- Windows Installer wants its GUIDs (wixl keeps the letter case of the source).
UPDATE `Property` SET `Value` = '@UPGRADECODE@' WHERE `Property` = 'UpgradeCode'
--
-- One Language.ini: the English texts unless LANGUAGE is "zh" (any case).
-- CheckSettingsProperties refuses any value but "en" and "zh" first, so a
-- mistyped one cannot quietly give the English texts.
UPDATE `Component` SET `Condition` = 'NOT (LANGUAGE ~= "zh")' WHERE `Component` = 'TextsEnglish'
UPDATE `Component` SET `Condition` = 'LANGUAGE ~= "zh"' WHERE `Component` = 'TextsChinese'
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;LANGUAGE;STARTDRIVER;TUIO;TUIO_HOST;TUIO_PORT;TOUCH_INJECTION;MONITOR;FILTER_MODE;FILTER_MIN_CUTOFF;FILTER_BETA;FILTER_DERIVATIVE_CUTOFF;FILTER_STILL_SPEED;CALIBRATION_OWN_PROGRAM' WHERE `Property` = 'SecureCustomProperties'
--
-- The program folder's WBInit.ini holds the administrators' calibration and
-- seeds every new user's copy, so no step of the package takes it away: the
-- component is never overwritten when its file exists (128: on a first
-- install over a kept file, an upgrade, a repair) and is left behind on
-- removal (16, permanent), so a reinstall finds the calibration again. The
-- old product goes only after the new one is complete, so the shared
-- components are not removed in between. Every other file is replaced
-- whatever its version ("a").
UPDATE `Component` SET `Attributes` = 144 WHERE `Component` = 'StartingSettings'
UPDATE `InstallExecuteSequence` SET `Sequence` = 6700 WHERE `Action` = 'RemoveExistingProducts'
INSERT INTO `Property` (`Property`, `Value`) VALUES ('REINSTALLMODE', 'amus')
--
-- Before InstallValidate looks for files in use, the installing user's driver
-- is asked to end and is waited for (at most 15 s). 66 = program from the
-- Binary table (2) + ignore its exit code (64): a driver that does not end is
-- left to Windows Installer's own handling of files in use. Immediate, so it
-- runs as the installing user and sees that user's desktop only. Not while an
-- upgrade removes the older product: the new one closed the driver already and
-- starts the new one after that removal.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('CloseDriver', 66, 'DriverCloser', '/wait:15000')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('CloseDriver', 'NOT UPGRADINGPRODUCTCODE', 1350)
--
-- The driver and Penvaro write the program folder's WBInit.ini also when an
-- administrator runs them with the filtered token of UAC, which may not write
-- to Program Files: the built-in Users group (by SID, so the name's language
-- does not matter) gets modify rights on that one file. 3170 = program in a
-- folder (34) + ignore its exit code (64) + deferred (1024) + as the installer
-- service, not the user (2048). Also when the package kept a file that was
-- there before it (an administrator's calibration copied in before the first
-- install): the file is named by its folder, since a file the installer does
-- not install may have no [#...] path.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('GrantUsersSettingsWrite', 3170, 'INSTALLDIR', '"[SystemFolder]icacls.exe" "[INSTALLDIR]WBInit.ini" /grant *S-1-5-32-545:M')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('GrantUsersSettingsWrite', 'NOT (REMOVE ~= "ALL")', 4010)
--
-- Programs and Features shows the program folder as the install location
-- (and needs no guess for it): set once the folder is resolved.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('SetArpInstallLocation', 51, 'ARPINSTALLLOCATION', '[INSTALLDIR]')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('SetArpInstallLocation', '', 1001)
--
-- Options given as install properties (TUIO=1, MONITOR=secondary,
-- FILTER_MODE=adaptive on the command line or in a transform) go into the
-- program folder's WBInit.ini, one IniFile row each, and nothing for a
-- property not given: each row belongs to a component of
-- its own whose condition is the property, so an empty property writes no
-- empty value. The components are permanent (16), so that neither a removal
-- nor an upgrade's removal of the older product takes a value out of the
-- file, and transitive (64), so that a repair or upgrade without the
-- property does not write it again as empty: the file keeps what it has.
-- Their key path is the program folder itself. The property names, sections
-- and keys are those of the options table (common/Options.h); a test holds
-- these rows to it.
CREATE TABLE `IniFile` (`IniFile` CHAR(72) NOT NULL, `FileName` CHAR(255) NOT NULL LOCALIZABLE, `DirProperty` CHAR(72), `Section` CHAR(96) NOT NULL LOCALIZABLE, `Key` CHAR(128) NOT NULL LOCALIZABLE, `Value` CHAR(255) NOT NULL LOCALIZABLE, `Action` SHORT NOT NULL, `Component_` CHAR(72) NOT NULL PRIMARY KEY `IniFile`)
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionTuio', '{51A1DBC5-8E07-4AD5-811F-1D3084D88672}', 'INSTALLDIR', 80, 'TUIO')
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionTuioHost', '{06940407-75DF-452D-B1B5-E23B58F4A3A7}', 'INSTALLDIR', 80, 'TUIO_HOST')
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionTuioPort', '{658AF619-DE1D-4088-917D-713FA3FA42DA}', 'INSTALLDIR', 80, 'TUIO_PORT')
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionTouchInjection', '{65C398EE-CDEB-4D6F-8B65-E9D695A8003F}', 'INSTALLDIR', 80, 'TOUCH_INJECTION')
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionMonitor', '{64A3F0FD-550C-4D7B-997C-C40704D12CC4}', 'INSTALLDIR', 80, 'MONITOR')
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionFilterMode', '{2AF8A1A7-7792-4E42-B8C5-7EE1632B936E}', 'INSTALLDIR', 80, 'FILTER_MODE')
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionFilterMinCutoff', '{DAC2658E-F46D-4415-B253-FEFB08EFD0F5}', 'INSTALLDIR', 80, 'FILTER_MIN_CUTOFF')
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionFilterBeta', '{84E41DD5-A6DC-4958-BD49-EFA1212104C2}', 'INSTALLDIR', 80, 'FILTER_BETA')
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionFilterDerivativeCutoff', '{5FA939CE-94AB-425B-A73E-A7094381CA74}', 'INSTALLDIR', 80, 'FILTER_DERIVATIVE_CUTOFF')
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionFilterStillSpeed', '{36FEFFF1-AD27-475C-B1DD-F104E6DB8D0C}', 'INSTALLDIR', 80, 'FILTER_STILL_SPEED')
INSERT INTO `Component` (`Component`, `ComponentId`, `Directory_`, `Attributes`, `Condition`) VALUES ('OptionOwnCalibrationProgram', '{8AE12032-6FB9-4FF2-A0C6-F9A55D41BC81}', 'INSTALLDIR', 80, 'CALIBRATION_OWN_PROGRAM')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionTuio')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionTuioHost')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionTuioPort')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionTouchInjection')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionMonitor')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionFilterMode')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionFilterMinCutoff')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionFilterBeta')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionFilterDerivativeCutoff')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionFilterStillSpeed')
INSERT INTO `FeatureComponents` (`Feature_`, `Component_`) VALUES ('Suite', 'OptionOwnCalibrationProgram')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionTuio', 'WBInit.ini', 'INSTALLDIR', 'Multitouch', 'TUIO', '[TUIO]', 0, 'OptionTuio')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionTuioHost', 'WBInit.ini', 'INSTALLDIR', 'Multitouch', 'TUIO_HOST', '[TUIO_HOST]', 0, 'OptionTuioHost')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionTuioPort', 'WBInit.ini', 'INSTALLDIR', 'Multitouch', 'TUIO_PORT', '[TUIO_PORT]', 0, 'OptionTuioPort')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionTouchInjection', 'WBInit.ini', 'INSTALLDIR', 'Multitouch', 'TOUCH_INJECTION', '[TOUCH_INJECTION]', 0, 'OptionTouchInjection')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionMonitor', 'WBInit.ini', 'INSTALLDIR', 'Display', 'MONITOR', '[MONITOR]', 0, 'OptionMonitor')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionFilterMode', 'WBInit.ini', 'INSTALLDIR', 'Filter', 'MODE', '[FILTER_MODE]', 0, 'OptionFilterMode')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionFilterMinCutoff', 'WBInit.ini', 'INSTALLDIR', 'Filter', 'MIN_CUTOFF', '[FILTER_MIN_CUTOFF]', 0, 'OptionFilterMinCutoff')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionFilterBeta', 'WBInit.ini', 'INSTALLDIR', 'Filter', 'BETA', '[FILTER_BETA]', 0, 'OptionFilterBeta')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionFilterDerivativeCutoff', 'WBInit.ini', 'INSTALLDIR', 'Filter', 'DERIVATIVE_CUTOFF', '[FILTER_DERIVATIVE_CUTOFF]', 0, 'OptionFilterDerivativeCutoff')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionFilterStillSpeed', 'WBInit.ini', 'INSTALLDIR', 'Filter', 'STILL_SPEED', '[FILTER_STILL_SPEED]', 0, 'OptionFilterStillSpeed')
INSERT INTO `IniFile` (`IniFile`, `FileName`, `DirProperty`, `Section`, `Key`, `Value`, `Action`, `Component_`) VALUES ('OptionOwnCalibrationProgram', 'WBInit.ini', 'INSTALLDIR', 'Calibration', 'OWN_PROGRAM', '[CALIBRATION_OWN_PROGRAM]', 0, 'OptionOwnCalibrationProgram')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('RemoveIniValues', '', 3100)
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('WriteIniValues', '', 5100)
--
-- The given properties are checked against the options table before the
-- driver is closed and before anything is written: a bad value ends the
-- install with a message naming it (shown, or in the log with /qn), and
-- the machine stays as it was. 1 = function of a DLL from the Binary table,
-- immediate, its result examined.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('CheckSettingsProperties', 1, 'SettingsCheck', 'CheckSettingsProperties')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('CheckSettingsProperties', 'NOT (REMOVE ~= "ALL")', 1005)
