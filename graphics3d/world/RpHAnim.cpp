#include "graphics3d/world/RpHAnim.h"

s32 RpHAnimIDGetIndex( const RpHAnimHierarchy* hierarchy, const s32 id ) {
	if ( hierarchy == nullptr || hierarchy->pNodeInfo == nullptr ) {
		return -1;
	}
	for ( s32 i = 0; i < hierarchy->numNodes; i++ ) {
		if ( hierarchy->pNodeInfo[i].nodeID == id ) {
			return i;
		}
	}
	return -1;
}
