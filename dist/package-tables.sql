-- Finishing touches to the package that wixl cannot express; scripts/dist.sh
-- runs each statement line in order with msibuild. Lines starting with "--"
-- are comments.
--
-- One Language.ini: the English texts unless LANGUAGE is "zh" (any case).
UPDATE `Component` SET `Condition` = 'NOT (LANGUAGE ~= "zh")' WHERE `Component` = 'TextsEnglish'
UPDATE `Component` SET `Condition` = 'LANGUAGE ~= "zh"' WHERE `Component` = 'TextsChinese'
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;LANGUAGE;STARTDRIVER' WHERE `Property` = 'SecureCustomProperties'
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
-- service, not the user (2048).
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('GrantUsersSettingsWrite', 3170, 'INSTALLDIR', '"[SystemFolder]icacls.exe" "[#WBInitIni]" /grant *S-1-5-32-545:M')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('GrantUsersSettingsWrite', 'NOT (REMOVE ~= "ALL")', 4010)
--
-- Programs and Features shows the program folder as the install location
-- (and needs no guess for it): set once the folder is resolved.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('SetArpInstallLocation', 51, 'ARPINSTALLLOCATION', '[INSTALLDIR]')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('SetArpInstallLocation', '', 1001)
