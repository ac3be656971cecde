#include "View3D.h"

#include <QtMath>

#include <algorithm>

Projection3D::Projection3D(const View3D &view, const QRectF &front, double depthPixels)
    : m_view(view), m_front(front), m_depth(depthPixels), m_centre(front.center())
{
    const double rotation = qDegreesToRadians(view.rotation - 360);
    const double elevation = qDegreesToRadians(view.elevation - 360);
    m_cosRotation = std::cos(rotation);
    m_sinRotation = std::sin(rotation);
    m_cosElevation = std::cos(elevation);
    m_sinElevation = std::sin(elevation);
    m_focal = 3 * std::max(front.width(), front.height());
}

void Projection3D::turn(double x, double y, double z, double &tx, double &ty, double &tz) const
{
    // About the centre of the box: first round the vertical axis, then the horizontal one.
    const double cx = x - m_centre.x();
    const double cy = y - m_centre.y();
    const double cz = z - m_depth / 2;
    const double x1 = cx * m_cosRotation + cz * m_sinRotation;
    const double z1 = -cx * m_sinRotation + cz * m_cosRotation;
    tx = x1;
    ty = cy * m_cosElevation - z1 * m_sinElevation;
    tz = cy * m_sinElevation + z1 * m_cosElevation;
}

QPointF Projection3D::map(double x, double y, double z) const
{
    QPointF point;
    if (m_view.orthogonal) {
        // Depth drawn as an oblique offset up and to the right.
        constexpr double slant = 0.70710678118654752;
        point = QPointF(x + z * slant, y - z * slant);
    } else {
        double tx, ty, tz;
        turn(x, y, z, tx, ty, tz);
        const double scale = m_focal / (m_focal + tz);
        point = m_centre + QPointF(tx * scale, ty * scale);
    }
    const double zoom = m_view.zoom / 100;
    return m_centre + (point - m_centre) * zoom;
}

double Projection3D::distance(double x, double y, double z) const
{
    if (m_view.orthogonal)
        return z - (x - m_front.left()) * 1e-3 + (y - m_front.top()) * 1e-3;
    double tx, ty, tz;
    turn(x, y, z, tx, ty, tz);
    return tz;
}

bool Projection3D::facesViewer(double nx, double ny, double nz, double x, double y, double z) const
{
    if (m_view.orthogonal) {
        // The oblique view looks from the front, a little from the right and from above.
        return nz * -1 + nx * 0.7071 + ny * -0.7071 > 1e-9;
    }
    double px, py, pz, qx, qy, qz;
    turn(x, y, z, px, py, pz);
    turn(x + nx, y + ny, z + nz, qx, qy, qz);
    // The viewer stands at distance focal in front of the centre.
    const double ex = -px, ey = -py, ez = -m_focal - pz;
    return (qx - px) * ex + (qy - py) * ey + (qz - pz) * ez > 1e-9;
}
