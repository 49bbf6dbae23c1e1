/*
===============================================================================

	Node of the animation graph that is updated with the frame time,
	produces a chain of typed outputs and has a time to live.

	The base never expires (its time to live is the largest float), updates
	to nothing and names no replacement when it times out; the animation nodes override what they
	need. The output chain belongs to the subclass: the destructor frees
	none of it.

===============================================================================
*/
#ifndef DT_OPERATOR_H
#define DT_OPERATOR_H

#include "datatypes/node/DTAttrib.h"
#include "datatypes/node/DTNode.h"

class DTWorkMemory;

enum OPNodeType_e : u32 {
	OP_Root			= 0,
	OP_HAnim		= 1,
	OP_TextAnim		= 2,
	OP_MorphAnim	= 3,
	OP_Blend		= 4,
	OP_Interpolate	= 5,
	OP_Light		= 6,
	OP_Camera		= 7
};

class DTOperator : public DTNode {
public:
	explicit				DTOperator( const OPNodeType_e type );
	virtual					~DTOperator();

	// 0.0; changes nothing.
	virtual f32				Update( f32 step, DTWorkMemory * workMemory );
	// The node that takes this expired node's place, or null: the base
	// has none.
	virtual DTOperator *	TimeOut( f32 * time );

	f32						GetTTL() const { return mfTimeToLive; }

	DTAttrib *				mpOutputList;
	OPNodeType_e			meType;
	f32						mfTimeToLive;
};

#endif
