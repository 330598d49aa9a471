#!/usr/bin/perl
# Draws the program's icon, a subscriber card with its name rows and a
# billing table, at 16, 32 and 48 pixels, and writes it as a Windows icon.
# Usage: perl make-icon.pl OUTPUT.ico
use strict;
use warnings;

my $output = shift or die "usage: $0 OUTPUT.ico\n";

# The drawing on a 16-by-16 grid, top row first; each size scales it.
# . clear, o outline, w card, b heading band, t text row, g table cell
my @drawing = (
  '................',
  '.oooooooooooooo.',
  '.obbbbbbbbbbbbo.',
  '.obbbbbbbbbbbbo.',
  '.owwwwwwwwwwwwo.',
  '.owttttwtttttwo.',
  '.owwwwwwwwwwwwo.',
  '.owtttttttwwwwo.',
  '.owwwwwwwwwwwwo.',
  '.owgggwgggwgggo.',
  '.owgggwgggwgggo.',
  '.owwwwwwwwwwwwo.',
  '.owgggwgggwgggo.',
  '.owgggwgggwgggo.',
  '.oooooooooooooo.',
  '................',
);
# Blue, green, red, alpha.
my %colour = (
  '.' => [0, 0, 0, 0],
  'o' => [0x40, 0x40, 0x40, 0xFF],
  'w' => [0xFA, 0xFA, 0xFA, 0xFF],
  'b' => [0xB0, 0x60, 0x20, 0xFF],
  't' => [0x50, 0x50, 0x50, 0xFF],
  'g' => [0x60, 0xB0, 0x60, 0xFF],
);

my @sizes = (16, 32, 48);
my @images;
for my $size (@sizes) {
  my $pixels = '';
  # Rows bottom-up, as bitmaps keep them.
  for (my $y = $size - 1; $y >= 0; --$y) {
    my $row = $drawing[int($y * 16 / $size)];
    for my $x (0 .. $size - 1) {
      $pixels .= pack('C4', @{$colour{substr($row, int($x * 16 / $size), 1)}});
    }
  }
  # The transparency is in the alpha channel; the mask shows every pixel.
  my $mask_row = int(($size + 31) / 32) * 4;
  my $mask = "\0" x ($mask_row * $size);
  my $header = pack('V l< l< v v V V l< l< V V',
                    40, $size, 2 * $size, 1, 32, 0,
                    length($pixels) + length($mask), 0, 0, 0, 0);
  push @images, $header . $pixels . $mask;
}

my $directory = pack('v v v', 0, 1, scalar @sizes);
my $offset = 6 + 16 * @sizes;
for my $i (0 .. $#sizes) {
  $directory .= pack('C C C C v v V V', $sizes[$i] % 256, $sizes[$i] % 256,
                     0, 0, 1, 32, length($images[$i]), $offset);
  $offset += length($images[$i]);
}
open(my $file, '>:raw', $output) or die "$output: $!\n";
print $file $directory, @images;
close($file) or die "$output: $!\n";
