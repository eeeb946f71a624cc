-- Finishing touches to the package that wixl cannot express; scripts/dist.sh
-- runs each statement line in order with msibuild. Lines starting with "--"
-- are comments.
--
-- One Language.ini: the English texts unless LANGUAGE is "zh" (any case).
UPDATE `Component` SET `Condition` = 'NOT (LANGUAGE ~= "zh")' WHERE `Component` = 'TextsEnglish'
UPDATE `Component` SET `Condition` = 'LANGUAGE ~= "zh"' WHERE `Component` = 'TextsChinese'
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;LANGUAGE' WHERE `Property` = 'SecureCustomProperties'
--
-- Upgrades keep the program folder's WBInit.ini: the component is never
-- overwritten when its file exists (128, never overwrite), and the old product
-- goes only after the new one is complete, so the shared component is not
-- removed in between. Every other file is replaced whatever its version ("a").
UPDATE `Component` SET `Attributes` = 128 WHERE `Component` = 'StartingSettings'
UPDATE `InstallExecuteSequence` SET `Sequence` = 6700 WHERE `Action` = 'RemoveExistingProducts'
INSERT INTO `Property` (`Property`, `Value`) VALUES ('REINSTALLMODE', 'amus')
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
