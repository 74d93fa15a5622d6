#!/usr/bin/env bash
# The user guide quotes the program's messages word for word: every message
# block of its chapter "Сообщения и что делать" must still be a text the
# program or kkt-cli can show, and every picture the guide and the README show
# must be there.
#
# A message block is a fenced ```text block of that chapter; its lines are the
# message's lines (joined by \r\n as the sources write them). Words in «»
# stand for what the program puts in (a number, a file name): the text between
# them must occur in src/ or tools/, where adjacent string literals count as one;
# a text the program puts together from its lines may be found line by line.
#
# Usage: scripts/check-guide.sh [GUIDE]   (docs/guide.md by default)
set -euo pipefail
cd "$(dirname "$0")/.."
guide=${1:-docs/guide.md}
[ -f "$guide" ] || { echo "check-guide: no $guide" >&2; exit 1; }

# Perl on bytes: the texts are UTF-8 on both sides, so substrings match as bytes.
perl -e '
  use strict; use warnings;
  my ($guide) = @ARGV;
  local $/;

  my $corpus = "";
  for my $file (split /\n/, `find src tools -type f \\( -name "*.cpp" -o -name "*.h" \\)`) {
    open my $fh, "<", $file or die "check-guide: $file: $!\n";
    $corpus .= <$fh> . "\n";
  }
  # u"first part "\n   "second part"_s is one text.
  $corpus =~ s/"\s*\n\s*u?"//g;

  open my $gh, "<", $guide or die "check-guide: $guide: $!\n";
  my $text = <$gh>;
  my ($chapter) = $text =~ /^## Сообщения и что делать\n(.*?)(?=^## |\z)/ms
    or die "check-guide: $guide has no chapter \"Сообщения и что делать\"\n";

  my ($blocks, $bad) = (0, 0);
  while ($chapter =~ /^```text\n(.*?)^```$/msg) {
    my $block = $1;
    $blocks++;
    chomp $block;
    my $source = join "\\r\\n", split /\n/, $block;
    $source =~ s/"/\\"/g;
    $source =~ s/\x{ef}\x{bf}\x{bd}/\\uFFFD/g;    # U+FFFD as the sources write it
    my @parts = grep { length } split /«(?:(?!«|»)[^\n])*»/, $source;
    my $longest = 0;
    for (@parts) { $longest = length if length > $longest }
    # A text the program puts together line by line is found line by line.
    my @missing = grep {
      my $part = $_;
      index($corpus, $part) >= 0 ? 0 : grep { length && index($corpus, $_) < 0 } split /\\r\\n/, $part;
    } @parts;
    if (!@parts || $longest < 4) {
      print STDERR "check-guide: a block quotes no fixed text to check:\n$block\n\n";
      $bad++;
    } elsif (@missing) {
      print STDERR "check-guide: not in src/ or tools/:\n$block\n  missing: ", join(" | ", @missing), "\n\n";
      $bad++;
    }
  }
  die "check-guide: no message blocks in the chapter\n" if $blocks == 0;

  # Pictures of the guide (beside it) and of the README (from the root).
  my $pictures = 0;
  for my $doc ([$guide, "docs/"], ["README.md", ""]) {
    my ($file, $dir) = @$doc;
    open my $fh, "<", $file or die "check-guide: $file: $!\n";
    my $md = <$fh>;
    while ($md =~ /!\[[^\]]*\]\(([^)\s]+)\)/g) {
      my $shown = $1;
      $pictures++;
      my $path = $shown =~ m{^docs/} ? $shown : "$dir$shown";
      next if -f $path;
      print STDERR "check-guide: $file shows $shown, which is not there\n";
      $bad++;
    }
  }
  print "check-guide: $blocks message blocks, $pictures pictures";
  die "; $bad faults\n" if $bad;
  print ": all found\n";
' "$guide"
