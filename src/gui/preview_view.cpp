#include "gui/preview_view.h"

#include <QElapsedTimer>
#include <QMatrix4x4>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace bp::gui {

namespace {

constexpr int kMaxLights = 8;
// Triangles a frame may draw in full; beyond it the meshes that cost the
// most (triangles times instances) are drawn as their boxes, so that a big
// model stays smooth on a software renderer.
constexpr double kTriangleBudget = 5e5;
constexpr int kBoxVertices = 36;

// The twelve triangles of a mesh's box, in the instance's colour.
void appendBox(const std::vector<preview::MeshVertex>& vertices,
               std::vector<preview::MeshVertex>& out) {
    std::array<float, 3> lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    for (const auto& v : vertices)
        for (std::size_t a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], v.position[a]);
            hi[a] = std::max(hi[a], v.position[a]);
        }
    if (vertices.empty())
        lo = hi = {0, 0, 0};
    const auto corner = [&](int i) {
        return std::array<float, 3>{i & 1 ? hi[0] : lo[0], i & 2 ? hi[1] : lo[1],
                                    i & 4 ? hi[2] : lo[2]};
    };
    // Each face: its four corners and its normal.
    const int faces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                             {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
    const std::array<float, 3> normals[6] = {{-1, 0, 0}, {1, 0, 0},  {0, -1, 0},
                                             {0, 1, 0},  {0, 0, -1}, {0, 0, 1}};
    for (int f = 0; f < 6; ++f)
        for (int k : {0, 1, 2, 0, 2, 3})
            out.push_back({corner(faces[f][k]), normals[f], {0, 0, 0, -1}});
}

const char* kPartsVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec4 colour;
layout(location = 3) in vec4 row0;
layout(location = 4) in vec4 row1;
layout(location = 5) in vec4 row2;
layout(location = 6) in vec4 instanceColour;
uniform mat4 viewProjection;
out vec3 worldNormal;
out vec3 worldPosition;
out vec4 surfaceColour;
void main() {
    vec4 p = vec4(position, 1.0);
    vec3 w = vec3(dot(row0, p), dot(row1, p), dot(row2, p));
    worldNormal = vec3(dot(row0.xyz, normal), dot(row1.xyz, normal), dot(row2.xyz, normal));
    worldPosition = w;
    surfaceColour = colour.a < 0.0 ? instanceColour : colour;
    gl_Position = viewProjection * vec4(w, 1.0);
}
)";

const char* kPartsFragment = R"(#version 330 core
in vec3 worldNormal;
in vec3 worldPosition;
in vec4 surfaceColour;
uniform int transparentPass;
uniform vec3 eye;
uniform int lightCount;
uniform vec3 lightPosition[8];
uniform vec3 lightColour[8];
out vec4 fragment;
void main() {
    bool seeThrough = surfaceColour.a < 0.999;
    if (seeThrough != (transparentPass == 1))
        discard;
    vec3 n = normalize(worldNormal);
    if (dot(n, eye - worldPosition) < 0.0)
        n = -n;
    vec3 light = vec3(0.4);
    for (int i = 0; i < lightCount; ++i) {
        vec3 l = normalize(lightPosition[i] - worldPosition);
        light += lightColour[i] * (0.6 / float(lightCount)) * 1.6 * max(dot(n, l), 0.0);
    }
    fragment = vec4(min(surfaceColour.rgb * light, vec3(1.0)), surfaceColour.a);
}
)";

const char* kFlatVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
uniform mat4 viewProjection;
uniform float pointSize;
out vec3 worldPosition;
void main() {
    worldPosition = position;
    gl_Position = viewProjection * vec4(position, 1.0);
    gl_PointSize = pointSize;
}
)";

const char* kFlatFragment = R"(#version 330 core
in vec3 worldPosition;
uniform vec4 colour;
uniform vec4 otherColour;
uniform int checkered;
out vec4 fragment;
void main() {
    if (checkered == 1) {
        vec3 cell = floor(worldPosition / 40.0 + vec3(0.0, 0.5, 0.0));
        fragment = mod(cell.x + cell.y + cell.z, 2.0) < 0.5 ? colour : otherColour;
    } else {
        fragment = colour;
    }
}
)";

struct GpuInstance {
    float rows[12];
    float colour[4];
};

QVector3D q(const preview::Vec3& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

} // namespace

PreviewView::PreviewView(QWidget* parent) : QOpenGLWidget(parent) {
    setMinimumSize(160, 120);
    setFocusPolicy(Qt::StrongFocus);
}

PreviewView::~PreviewView() {
    if (!m_ready)
        return;
    makeCurrent();
    m_vertices.destroy();
    m_instances.destroy();
    m_flatPoints.destroy();
    m_vao.destroy();
    m_flatVao.destroy();
    doneCurrent();
}

void PreviewView::setModel(std::shared_ptr<const preview::LoadedModel> model) {
    m_model = std::move(model);
    m_meshesStale = m_instancesStale = true;
    update();
}

void PreviewView::setPlan(const preview::ViewPlan& plan, int pictureWidth, int pictureHeight,
                          int lastStep) {
    m_plan = plan;
    m_pictureWidth = std::max(pictureWidth, 1);
    m_pictureHeight = std::max(pictureHeight, 1);
    if (plan.topColour != m_shownTopColour || lastStep != m_shownLastStep)
        m_instancesStale = true;
    m_lastStep = lastStep;
    update();
}

void PreviewView::clearPlan() {
    m_plan.reset();
    update();
}

void PreviewView::setOverlay(const QImage& image) {
    m_overlay = image;
    update();
}

QRect PreviewView::frame() const {
    const auto f = preview::pictureFrame(width(), height(), m_pictureWidth, m_pictureHeight);
    return {f[0], f[1], f[2], f[3]};
}

void PreviewView::initializeGL() {
    // Without OpenGL (no display driver) the view stays empty.
    if (!context() || !context()->isValid())
        return;
    initializeOpenGLFunctions();
    m_ready =
        m_parts.addShaderFromSourceCode(QOpenGLShader::Vertex, kPartsVertex) &&
        m_parts.addShaderFromSourceCode(QOpenGLShader::Fragment, kPartsFragment) &&
        m_parts.link() && m_flat.addShaderFromSourceCode(QOpenGLShader::Vertex, kFlatVertex) &&
        m_flat.addShaderFromSourceCode(QOpenGLShader::Fragment, kFlatFragment) && m_flat.link();
    if (!m_ready) {
        qWarning("preview: %s %s", qPrintable(m_parts.log()), qPrintable(m_flat.log()));
        return;
    }
    m_vao.create();
    m_flatVao.create();
    m_vertices.create();
    m_instances.create();
    m_flatPoints.create();
    m_meshesStale = m_instancesStale = true;
}

void PreviewView::uploadMeshes() {
    m_ranges.clear();
    std::size_t total = 0;
    std::vector<preview::MeshVertex> boxes;
    if (m_model)
        for (const preview::Mesh& mesh : m_model->meshes) {
            total += mesh.vertices.size();
            appendBox(mesh.vertices, boxes);
        }
    m_vao.bind();
    m_vertices.bind();
    m_vertices.allocate(static_cast<int>((total + boxes.size()) * sizeof(preview::MeshVertex)));
    int first = 0;
    if (m_model)
        for (const preview::Mesh& mesh : m_model->meshes) {
            const int count = static_cast<int>(mesh.vertices.size());
            if (count > 0)
                m_vertices.write(first * static_cast<int>(sizeof(preview::MeshVertex)),
                                 mesh.vertices.data(),
                                 count * static_cast<int>(sizeof(preview::MeshVertex)));
            m_ranges.push_back({first, count, 0, 0, 0, mesh.fixedTransparent});
            first += count;
        }
    for (std::size_t i = 0; i < m_ranges.size(); ++i)
        m_ranges[i].firstProxyVertex = first + static_cast<int>(i) * kBoxVertices;
    if (!boxes.empty())
        m_vertices.write(first * static_cast<int>(sizeof(preview::MeshVertex)), boxes.data(),
                         static_cast<int>(boxes.size() * sizeof(preview::MeshVertex)));
    const int stride = sizeof(preview::MeshVertex);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(preview::MeshVertex, position)));
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(preview::MeshVertex, normal)));
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(preview::MeshVertex, colour)));
    m_vao.release();
    m_meshesStale = false;
    m_instancesStale = true;
}

void PreviewView::uploadInstances() {
    std::vector<std::vector<const preview::Instance*>> opaque(m_ranges.size()),
        clear(m_ranges.size());
    const int top = m_plan ? m_plan->topColour : 7;
    if (m_model)
        for (const preview::Instance& i : m_model->instances) {
            if (i.step > m_lastStep || static_cast<std::size_t>(i.mesh) >= m_ranges.size())
                continue;
            const bool seeThrough = m_model->rgba(i.colour, top)[3] < 1;
            (seeThrough ? clear : opaque)[static_cast<std::size_t>(i.mesh)].push_back(&i);
        }
    std::vector<GpuInstance> data;
    for (std::size_t mesh = 0; mesh < m_ranges.size(); ++mesh) {
        MeshRange& r = m_ranges[mesh];
        r.firstInstance = static_cast<int>(data.size());
        for (const auto* list : {&opaque[mesh], &clear[mesh]}) {
            if (list == &clear[mesh])
                r.firstTransparent = static_cast<int>(data.size());
            for (const preview::Instance* i : *list) {
                GpuInstance g{};
                for (int row = 0; row < 3; ++row) {
                    g.rows[row * 4 + 0] = static_cast<float>(i->place.m[row * 3 + 0]);
                    g.rows[row * 4 + 1] = static_cast<float>(i->place.m[row * 3 + 1]);
                    g.rows[row * 4 + 2] = static_cast<float>(i->place.m[row * 3 + 2]);
                }
                g.rows[3] = static_cast<float>(i->place.t.x);
                g.rows[7] = static_cast<float>(i->place.t.y);
                g.rows[11] = static_cast<float>(i->place.t.z);
                const auto c = m_model->rgba(i->colour, top);
                std::copy(c.begin(), c.end(), g.colour);
                data.push_back(g);
            }
        }
        r.instanceCount = static_cast<int>(data.size()) - r.firstInstance;
    }
    // Over the budget, the costliest meshes are drawn as boxes.
    std::vector<std::size_t> order(m_ranges.size());
    double drawn = 0;
    for (std::size_t i = 0; i < m_ranges.size(); ++i) {
        order[i] = i;
        m_ranges[i].proxy = false;
        drawn += static_cast<double>(m_ranges[i].vertexCount) / 3 * m_ranges[i].instanceCount;
    }
    const auto cost = [this](std::size_t i) {
        return static_cast<double>(m_ranges[i].vertexCount) / 3 * m_ranges[i].instanceCount;
    };
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return cost(a) > cost(b); });
    m_boxedInstances = 0;
    for (std::size_t i : order) {
        if (drawn <= kTriangleBudget)
            break;
        MeshRange& r = m_ranges[i];
        if (r.vertexCount <= kBoxVertices)
            continue;
        drawn -= cost(i) - static_cast<double>(kBoxVertices) / 3 * r.instanceCount;
        r.proxy = true;
        m_boxedInstances += r.instanceCount;
    }
    m_instances.bind();
    m_instances.allocate(data.data(), static_cast<int>(data.size() * sizeof(GpuInstance)));
    m_instances.release();
    m_shownTopColour = top;
    m_shownLastStep = m_lastStep;
    m_instancesStale = false;
}

void PreviewView::drawParts(bool transparentPass) {
    m_parts.setUniformValue("transparentPass", transparentPass ? 1 : 0);
    m_instances.bind();
    for (const MeshRange& r : m_ranges) {
        int first = r.firstInstance, count = r.instanceCount;
        if (transparentPass && !r.fixedTransparent) {
            first = r.firstTransparent;
            count = r.firstInstance + r.instanceCount - r.firstTransparent;
        }
        if (count <= 0 || r.vertexCount == 0)
            continue;
        const auto base = static_cast<std::size_t>(first) * sizeof(GpuInstance);
        for (int a = 0; a < 4; ++a)
            glVertexAttribPointer(static_cast<GLuint>(3 + a), 4, GL_FLOAT, GL_FALSE,
                                  sizeof(GpuInstance),
                                  reinterpret_cast<void*>(base + static_cast<std::size_t>(a) * 16));
        if (r.proxy)
            glDrawArraysInstanced(GL_TRIANGLES, r.firstProxyVertex, kBoxVertices, count);
        else
            glDrawArraysInstanced(GL_TRIANGLES, r.firstVertex, r.vertexCount, count);
    }
    m_instances.release();
}

void PreviewView::drawFloorAndLights(const QMatrix4x4& viewProjection) {
    const preview::ViewPlan& plan = *m_plan;
    std::vector<QVector3D> points;
    const preview::Vec3 c = plan.bounds.centre();
    const preview::Vec3 size = plan.bounds.size();
    const double reach = 60 * std::max({size.x, size.y, size.z, 100.0});
    if (plan.floor != conv::FloorType::None) {
        const float y = static_cast<float>(plan.floorY);
        const float x0 = static_cast<float>(c.x - reach), x1 = static_cast<float>(c.x + reach);
        const float z0 = static_cast<float>(c.z - reach), z1 = static_cast<float>(c.z + reach);
        points = {{x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z0}, {x1, y, z1}, {x0, y, z1}};
    }
    for (const preview::PreviewLight& l : plan.lights)
        points.push_back(q(l.position));
    m_flat.bind();
    m_flat.setUniformValue("viewProjection", viewProjection);
    m_flatVao.bind();
    m_flatPoints.bind();
    m_flatPoints.allocate(points.data(), static_cast<int>(points.size() * sizeof(QVector3D)));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(QVector3D), nullptr);
    int first = 0;
    if (plan.floor != conv::FloorType::None) {
        const bool checkered = plan.floor == conv::FloorType::Checkered;
        m_flat.setUniformValue("checkered", checkered ? 1 : 0);
        m_flat.setUniformValue("colour", checkered ? QVector4D(0.9f, 0.9f, 0.9f, 1)
                                                   : QVector4D(0.8f, 0.8f, 0.8f, 1));
        m_flat.setUniformValue("otherColour", QVector4D(0.25f, 0.25f, 0.25f, 1));
        m_flat.setUniformValue("pointSize", 1.0f);
        glDrawArrays(GL_TRIANGLES, 0, 6);
        first = 6;
    }
    // Light markers stay visible through the model.
    glDisable(GL_DEPTH_TEST);
    m_flat.setUniformValue("checkered", 0);
    m_flat.setUniformValue("pointSize", 9.0f);
    for (std::size_t i = 0; m_lightMarkers && i < plan.lights.size(); ++i) {
        const preview::Vec3& rgb = plan.lights[i].rgb;
        m_flat.setUniformValue("colour", QVector4D(static_cast<float>(rgb.x) * 0.6f + 0.4f,
                                                   static_cast<float>(rgb.y) * 0.6f + 0.4f,
                                                   static_cast<float>(rgb.z) * 0.2f, 1));
        glDrawArrays(GL_POINTS, first + static_cast<int>(i), 1);
    }
    glEnable(GL_DEPTH_TEST);
    m_flatPoints.release();
    m_flatVao.release();
}

void PreviewView::paintGL() {
    if (!m_ready)
        return;
    QElapsedTimer clock;
    clock.start();
    const qreal ratio = devicePixelRatioF();
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.33f, 0.33f, 0.35f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const QRect f = frame();
    const QRect device(static_cast<int>(f.x() * ratio), static_cast<int>(f.y() * ratio),
                       static_cast<int>(f.width() * ratio), static_cast<int>(f.height() * ratio));
    // GL counts rows from the bottom.
    const int bottom = static_cast<int>(height() * ratio) - device.y() - device.height();
    if (m_plan) {
        if (m_meshesStale)
            uploadMeshes();
        if (m_instancesStale)
            uploadInstances();
        glViewport(device.x(), bottom, device.width(), device.height());
        glScissor(device.x(), bottom, device.width(), device.height());
        glEnable(GL_SCISSOR_TEST);
        const preview::ViewPlan& plan = *m_plan;
        glClearColor(static_cast<float>(plan.background.x), static_cast<float>(plan.background.y),
                     static_cast<float>(plan.background.z), 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

        const preview::Vec3 size = plan.bounds.size();
        const double radius = std::max(size.length() / 2, 1.0);
        const double distance = (plan.location - plan.bounds.centre()).length();
        const double farPlane = distance + 70 * std::max({size.x, size.y, size.z, 100.0});
        const double nearPlane = std::max({distance - radius * 1.5, farPlane * 1e-5, 0.05});
        const preview::Matrix4 m = preview::viewProjection(plan.location, plan.lookAt, plan.angle,
                                                           plan.cameraAspect, nearPlane, farPlane);
        // QMatrix4x4 reads rows; the matrix is held by columns.
        const QMatrix4x4 columnMajor = QMatrix4x4(m.data()).transposed();

        glEnable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_PROGRAM_POINT_SIZE);
        m_parts.bind();
        m_parts.setUniformValue("viewProjection", columnMajor);
        m_parts.setUniformValue("eye", q(plan.location));
        const int lights = std::min(static_cast<int>(plan.lights.size()), kMaxLights);
        m_parts.setUniformValue("lightCount", lights);
        for (int i = 0; i < lights; ++i) {
            const auto& l = plan.lights[static_cast<std::size_t>(i)];
            m_parts.setUniformValue(qPrintable(QString("lightPosition[%1]").arg(i)), q(l.position));
            m_parts.setUniformValue(qPrintable(QString("lightColour[%1]").arg(i)), q(l.rgb));
        }
        m_vao.bind();
        for (int a = 3; a < 7; ++a) {
            glEnableVertexAttribArray(static_cast<GLuint>(a));
            glVertexAttribDivisor(static_cast<GLuint>(a), 1);
        }
        drawParts(false);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
        drawParts(true);
        glDepthMask(GL_TRUE);
        glDisable(GL_BLEND);
        m_vao.release();
        drawFloorAndLights(columnMajor);
        glDisable(GL_SCISSOR_TEST);
    }
    if (m_finishFrames)
        glFinish();
    m_lastFrameMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    if (!m_overlay.isNull()) {
        QPainter painter(this);
        painter.drawImage(f, m_overlay);
    }
    emit frameDrawn();
}

void PreviewView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragFrom = event->position().toPoint();
    m_dragging = true;
}

void PreviewView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return;
    const QPoint at = event->position().toPoint();
    const QPoint d = at - m_dragFrom;
    if (d.isNull())
        return;
    m_dragFrom = at;
    const double h = std::max(frame().height(), 1);
    if (event->modifiers() & Qt::ShiftModifier)
        emit panDragged(d.x(), d.y(), h);
    else
        emit orbitDragged(d.x(), d.y(), h);
}

void PreviewView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

void PreviewView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        emit fitAsked();
    }
}

void PreviewView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        emit wheelTurned(notches);
    event->accept();
}

} // namespace bp::gui
