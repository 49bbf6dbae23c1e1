/*
===============================================================================

	Base of the group queries: an iterator over the world's game objects
	that yields one object per GetObject call, keeping its position in
	the caller's parameter record (ObjectRetrieverParams.h), so that a
	record may outlive the retriever and a retriever may be asked again
	every frame.

	Map walks keep the key of the entry to visit next and find it again
	with a lookup; when that entry has gone meanwhile, the walk resumes at
	the head of that key's bucket. Entries added between two calls never
	break a walk.

	An object is absent for every query but the all query when it is
	withdrawn (EF_INSTANCE_WITHDRAWN); an object named by id is looked up
	in the map (EF_RUNNING_OBJECT_ID: the object whose logic is running)
	and an absent one counts as not found.

	Virtual operations in slot order: the destructor, Reset, GetObject.

===============================================================================
*/
#ifndef EF_OBJECT_RETRIEVER_H
#define EF_OBJECT_RETRIEVER_H

#include "datatypes/containers/DTMap.h"
#include "datatypes/maths/DTVector3d.h"
#include "framework/core/world/ObjectRetrieverParams.h"

class EFGameObject;

class EFObjectRetriever {
public:
	typedef DTMap<u32, EFGameObject *>	ObjectMap;

							EFObjectRetriever( ObjectRetrieverParams * params, const ObjectMap & map );
	virtual					~EFObjectRetriever();

	// Starts the walk again from the first object.
	virtual void			Reset();
	// The next object of the query, or null at the end.
	virtual EFGameObject *	GetObject() = 0;

	// The present object of id, or null.
	EFGameObject *			GetObject( u32 id ) const;

	// A new retriever for the query id over params; null for another id,
	// null params or without memory.
	static EFObjectRetriever *	Create( u32 id, ObjectRetrieverParams * params, const ObjectMap & map );

protected:
	typedef ObjectMap::Node		Node;

	// The entry the cursor names: the first for EF_RETRIEVER_START, the
	// entry of that key, or the head of its bucket when it has gone.
	const Node *			ResumeWalk( u32 cursor ) const;
	// The cursor naming the entry after node, or end when there is none.
	u32						CursorAfter( const Node * node, u32 end ) const;
	static bool				IsPresent( const EFGameObject & object );
	// Group test by id (mask false) or by mask.
	static bool				InGroup( const EFGameObject & object, u32 group, bool mask );
	// World position of the object's frame; the origin without one.
	static DTVector3d		WorldPosition( EFGameObject & object );
	// The point (x, y, z) in the frame of the source object of id, or in
	// world space without one.
	DTVector3d				Centre( u32 sourceId, f32 x, f32 y, f32 z ) const;

	ObjectRetrieverParams *	mpParams;
	const ObjectMap *		mpObjectMap;
};

#endif
