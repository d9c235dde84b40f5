// Snake game logic: the snake as a singly linked list of grid squares, its movement, steering,
// growth, wrap-around at the window edges, self-collision and pickup placement.
//
// Positions are in pixels on a 15-pixel grid. The playfield is the BGI window, read through
// getmaxx()/getmaxy(); nothing else from the graphics library is used here except by the drawing
// functions declared at the end.
#ifndef SNAKE_ENGINE_H
#define SNAKE_ENGINE_H

// A grid position in pixels (multiples of 15 during play).
struct segment {
    int x;
    int y;
};

// One square of the snake. The list starts at the head; the node without a successor is the tail.
// Nodes live until the process exits and are never freed.
struct node {
    segment sgt;
    node *next;
};

// Directions: 0 = left, 1 = up, 2 = right, 3 = down. Even directions move along x, odd along y.
// dirMatrix[d] is the step, in pixels, of one move in direction d.
inline constexpr int dirMatrix[4] = {-15, -15, 15, 15};

// Appends a node at (x, y) after the current tail. Returns the new node when head is null (it
// becomes the head), otherwise head. If no memory is available the snake is left as it was.
node *insert(node *head, int x, int y);

// Maps a key code to a new direction given the current one: 'a' left, 'w' up, 'd' right, 's' down,
// except that a key opposite to the current direction keeps it (the snake cannot reverse onto
// itself in one move). Enter gives -1 (quit); any other key, including upper case, gives -2.
int turnDetection(int key, int dir);

// Moves the head one step in dir; every other node takes the place its predecessor had. A
// direction outside 0..3 leaves the snake where it is.
void moveSnake(node *head, int dir);

// Resolves the consequences of the move just made: grows the snake by one node and clears
// *haspickup when the head is on the pickup, wraps the head around the window edges, and sets
// *game to 0 when the head lies on a body segment other than the tail.
void collisionDetection(node *head, segment pickup, int *haspickup, int *game);

// Chooses a random grid position for the next pickup that is inside the window and not under the
// snake (the tail's square is allowed, as the tail moves away on the next step).
segment getPickup(node *head);

void drawSnake(node *head);
void drawSegment(int x, int y, int color);

#endif
