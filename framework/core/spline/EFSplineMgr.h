/*
===============================================================================

	Splines of the level (gpoSplineMgr), the generic-data manager with id
	1, created and deleted by the engine controller.

	Stored data, big-endian through the stream's 32-bit reads: the block
	size S, a word kept for the data's authors, the spline count N, an
	offset X (kept, not used by the engine), the offset H of the spline
	headers in the block, then the S bytes of the block. The block is
	decoded once (see EFSplineDecoder); a block that fails its checks is
	reported and dropped, leaving no splines. LoadData returns 0 in every
	case so that level loading goes on.

	A second record replaces the splines without freeing the first
	block, because cursors may still point into it. Free releases the
	current block at every level change and zeroes the members.

===============================================================================
*/
#ifndef EF_SPLINE_MGR_H
#define EF_SPLINE_MGR_H

#include "framework/core/level/EFLoadingMgr.h"

class EFQuadraticSpline;

// The ropes that may follow one spline: how many and their spline indices.
struct EFFollowingRopes {
	u32						mui32Count;
	const u32 *				mpui32Splines;
};

class EFSplineMgr : public EFLoadingMgr {
public:
							EFSplineMgr();
							~EFSplineMgr() override;

	s32						LoadData( u32 managerId, u32 dataId, DTBasePersistStream & stream ) override;
	void					Free();

	u32						GetNbSplines() const { return mui32NbSplines; }
	// Spline index below the count; null otherwise.
	EFQuadraticSpline *		GetSpline( u32 index ) const;
	// The word stored for the data's authors.
	u32						GetWord() const { return mui32Word; }
	// The ropes following spline index, for a slide's hand-over at its
	// end. The stored splines carry no such list, so there are none
	// unless a table was installed.
	EFFollowingRopes		GetFollowingRopes( u32 index ) const;
	// Installs a table of count entries by spline index (not owned; null
	// removes it). Free removes it too.
	void					SetFollowingRopeTable( const EFFollowingRopes * table, u32 count );

private:
	u32						mui32Word;
	u32						mui32NbSplines;
	u32						mui32ExtraOffset;
	EFQuadraticSpline *		mpoSplines;
	void *					mpoBlock;
	const EFFollowingRopes *	mpoFollowing;
	u32						mui32NbFollowing;
};

extern EFSplineMgr*	gpoSplineMgr;

#endif
