@echo off
rem SAMPLE ONLY - stands in for the Lexiphon add-in in demos and tests.
rem The real add-in is not part of this repository.
