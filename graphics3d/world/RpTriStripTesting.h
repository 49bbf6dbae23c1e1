/*
===============================================================================

	Reference switch of the tri-stripper: pair edges by walking the whole
	edge list, as the indexed pairing must agree with.

===============================================================================
*/
#ifndef RP_TRI_STRIP_TESTING_H
#define RP_TRI_STRIP_TESTING_H

void	_rpTriStripUseListWalkPairing( bool enable );

#endif
