/*
===============================================================================

	Row alignment and look-at of a matrix, shared by the maths table's
	matrix slots and the game-object table's frame slots. Each clears the
	matrix's flags word, since the rows no longer match what it said.

===============================================================================
*/
#ifndef LOGIC_API_MATRIX_ALIGN_H
#define LOGIC_API_MATRIX_ALIGN_H

#include "datatypes/maths/DTMatrix.h"

// Turns m so that row points along target (2^-15 per component counts as
// equal): nothing when it does, a half turn negating row and the right row
// when it points the other way, else a rotation about their cross product.
void	LogicApiAlignRowWith( DTMatrix * m, DTVector3d * row, const DTVector3d & target );
// The first vector is taken as given; the other two are made orthonormal.
void	LogicApiLookAtAlignUp( DTMatrix * m, const DTVector3d & at, const DTVector3d & up );
void	LogicApiLookUpAlignAt( DTMatrix * m, const DTVector3d & up, const DTVector3d & at );

#endif
