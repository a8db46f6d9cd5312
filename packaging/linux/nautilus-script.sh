#!/bin/sh
# Hands the folders selected in Nautilus to カルネオ. Copy it to
# ~/.local/share/nautilus/scripts/ and choose Scripts > カルネオ on folders.
#
# Nautilus runs a script in the folder it shows, with the selected names as
# arguments; they are made absolute so that no name is taken for an option.
for path do
  case $path in
    /*) ;;
    *) path=$PWD/$path ;;
  esac
  set -- "$@" "$path"
  shift
done
exec karuneo "$@"
